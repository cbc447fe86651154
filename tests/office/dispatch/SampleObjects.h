// A small object model for exercising the dispatch base: a collection of
// named items, and an item with members of every flavour.
#pragma once

#include <string>
#include <vector>

#include "office/dispatch/AutomationObject.h"
#include "office/dispatch/Utf8.h"

class Items : public AutomationObject<Items> {
public:
    explicit Items(std::vector<std::string> names) : names(std::move(names)) {}
    static const MemberTable<Items>& Members();

private:
    void ItemAt(Call& call);

    std::vector<std::string> names;
};

class Item : public AutomationObject<Item> {
public:
    Item(ComPtr<Items> owner, std::string name);
    ~Item() override;
    static const MemberTable<Item>& Members();

    static int alive;

private:
    void Resize(Call& call);

    ComPtr<Items> owner;
    std::string name;
    bool visible = false;
    std::string secret;
};
