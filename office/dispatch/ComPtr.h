// An owning reference to a COM object: AddRef on copy, Release on destruction.
#pragma once

#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to `object`.
    explicit ComPtr(T* object) : object(object)
    {
        if (object != nullptr) {
            object->AddRef();
        }
    }
    ComPtr(const ComPtr& other) : ComPtr(other.object) {}
    ComPtr(ComPtr&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    template <class U>
    ComPtr(const ComPtr<U>& other) : ComPtr(static_cast<T*>(other.Get()))
    {
    }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(object, other.object);
        return *this;
    }

    // Takes over a reference the caller already owns (a fresh object, an out parameter).
    static ComPtr Adopt(T* owned)
    {
        ComPtr result;
        result.object = owned;
        return result;
    }

    T* Get() const { return object; }
    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }

    // Gives the reference to the caller, who must Release it.
    T* Detach() { return std::exchange(object, nullptr); }

    void Reset()
    {
        if (T* old = std::exchange(object, nullptr)) {
            old->Release();
        }
    }

    // For out parameters: releases what is held and returns the slot to fill.
    T** Receive()
    {
        Reset();
        return &object;
    }

private:
    T* object = nullptr;
};

template <class T, class U>
bool operator==(const ComPtr<T>& a, const ComPtr<U>& b)
{
    return a.Get() == b.Get();
}
