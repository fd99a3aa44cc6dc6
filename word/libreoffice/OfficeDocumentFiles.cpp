#include "word/libreoffice/OfficeDocumentFiles.h"

#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/frame/XLoadable.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"
#include "word/format/DocumentFile.h"
#include "word/libreoffice/LibreOfficeServer.h"

using namespace com::sun::star;
using rtl::OUString;

namespace tarnwick::word {
namespace {

// One value of a property list (a type's or filter's description).
OUString valueOf(const uno::Any& description, const char* name)
{
    uno::Sequence<beans::PropertyValue> properties;
    description >>= properties;
    OUString value;
    for (const beans::PropertyValue& property : properties)
        if (property.Name.equalsAscii(name)) property.Value >>= value;
    return value;
}

uno::Reference<uno::XInterface> create(const uno::Reference<uno::XComponentContext>& context, const OUString& service)
{
    return context->getServiceManager()->createInstanceWithContext(service, context);
}

}  // namespace

LoadedDocument LoadDocumentWithoutView(const uno::Reference<uno::XComponentContext>& context, const OUString& url,
                                       const uno::Sequence<beans::PropertyValue>& arguments)
{
    const uno::Reference<document::XTypeDetection> detection(create(context, "com.sun.star.document.TypeDetection"),
                                                             uno::UNO_QUERY_THROW);
    uno::Sequence<beans::PropertyValue> descriptor(1);
    descriptor.getArray()[0].Name = "URL";
    descriptor.getArray()[0].Value <<= url;
    // The deep detection looks into the file and names its filter in the descriptor.
    const OUString type = detection->queryTypeByDescriptor(descriptor, true);
    LoadedDocument loaded;
    for (const beans::PropertyValue& property : descriptor)
        if (property.Name == "FilterName") property.Value >>= loaded.filter;
    const uno::Reference<container::XNameAccess> types(detection, uno::UNO_QUERY_THROW);
    if (loaded.filter.isEmpty() && !type.isEmpty() && types->hasByName(type))
        loaded.filter = valueOf(types->getByName(type), "PreferredFilter");
    const uno::Reference<container::XNameAccess> filters(create(context, "com.sun.star.document.FilterFactory"),
                                                         uno::UNO_QUERY_THROW);
    if (loaded.filter.isEmpty() || !filters->hasByName(loaded.filter))
        Refuse(kErrorDamaged, "LibreOffice kann die Datei nicht öffnen.");
    const OUString service = valueOf(filters->getByName(loaded.filter), "DocumentService");
    const uno::Reference<frame::XLoadable> model(service.isEmpty() ? nullptr : create(context, service), uno::UNO_QUERY);
    if (!model.is()) Refuse(kErrorDamaged, "LibreOffice kann die Datei nicht öffnen.");

    uno::Sequence<beans::PropertyValue> media(arguments.getLength() + 2);
    std::copy(arguments.begin(), arguments.end(), media.getArray());
    media.getArray()[arguments.getLength()].Name = "URL";
    media.getArray()[arguments.getLength()].Value <<= url;
    media.getArray()[arguments.getLength() + 1].Name = "FilterName";
    media.getArray()[arguments.getLength() + 1].Value <<= loaded.filter;
    loaded.component.set(model, uno::UNO_QUERY_THROW);
    try {
        model->load(media);
    } catch (const io::IOException&) {
        loaded.component->dispose();
        Refuse(kErrorDamaged, "LibreOffice kann die Datei nicht öffnen.");
    } catch (const lang::IllegalArgumentException&) {
        loaded.component->dispose();
        Refuse(kErrorDamaged, "LibreOffice kann die Datei nicht öffnen.");
    }
    return loaded;
}

std::string StoreToBytes(const uno::Reference<lang::XComponent>& document, const OUString& filter)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarnwick-export-XXXXXX";
    if (!::mkdtemp(folder.data())) Refuse(kErrorSaveFailed, "Die Datei kann nicht gespeichert werden: " + SystemErrorText(errno));
    struct RemoveFolder {
        std::string path;
        ~RemoveFolder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } removeFolder{folder};
    const std::string copy = folder + "/export";
    uno::Sequence<beans::PropertyValue> arguments(1);
    arguments.getArray()[0].Name = "FilterName";
    arguments.getArray()[0].Value <<= filter;
    uno::Reference<frame::XStorable>(document, uno::UNO_QUERY_THROW)->storeToURL(DocumentUrl(copy), arguments);
    return ReadDocumentFile(copy);
}

}  // namespace tarnwick::word
