#pragma once
// Documents in and out of the LibreOffice server. A document is loaded as a
// bare model: no frame, no view, no layout. The server only edits and stores the text, and a
// view costs time on large documents; worse, the headless server without
// the Writer dialogs ends itself when a view sets up the margin windows of
// a document's comments.
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <string>

namespace tarnwick::word {

struct LoadedDocument {
    css::uno::Reference<css::lang::XComponent> component;
    rtl::OUString filter;  // the import filter, which also writes the file back
};

// Detects the file's type and filter at `url` and loads it with `arguments`
// (a media descriptor without URL and FilterName) into a new model of the
// filter's document service. Throws ServerError (kErrorDamaged) when no
// filter reads the file or the filter refuses it; other uno::Exceptions pass.
LoadedDocument LoadDocumentWithoutView(const css::uno::Reference<css::uno::XComponentContext>& context, const rtl::OUString& url,
                                       const css::uno::Sequence<css::beans::PropertyValue>& arguments);

// The bytes of `document` written by the filter `filter`, through a file in
// a private temporary folder. uno::Exception from the server; ServerError
// (kErrorSaveFailed) when the temporary file cannot be made or read.
std::string StoreToBytes(const css::uno::Reference<css::lang::XComponent>& document, const rtl::OUString& filter);

}  // namespace tarnwick::word
