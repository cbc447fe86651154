#include "tests/office/wordprocessor/WordAutomation.h"

#include "office/wordprocessor/Registration.h"

namespace word_test {

ComPtr<IDispatch> StartWord() {
    CoInitialize(nullptr);
    RegisterWordProcessorServer();
    return dispatch_test::CreateServer(u"Word.Application");
}

ComPtr<IDispatch> AddDocument(IDispatch* word, const std::string& templatePath) {
    ComPtr<IDispatch> documents = Get(word, u"Documents");
    return Call(documents.Get(), u"Add", {Var(templatePath.c_str())});
}

std::string FieldNames(IDispatch* document) {
    ComPtr<IDispatch> fields = Get(document, u"FormFields");
    LONG count = GetInt(fields.Get(), u"Count");
    std::string names;
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<IDispatch> field = Call(fields.Get(), u"Item", {Var(int(i))});
        names += (i > 1 ? "," : "") + GetText(field.Get(), u"Name");
    }
    return names;
}

}  // namespace word_test
