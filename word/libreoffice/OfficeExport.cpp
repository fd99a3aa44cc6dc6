#include "word/libreoffice/OfficeExport.h"

#include <com/sun/star/util/XCloseable.hpp>

#include "word/libreoffice/LibreOfficeServer.h"
#include "word/libreoffice/OfficeDocumentFiles.h"

using namespace com::sun::star;

namespace tarnwick::word {

std::string ExportWithLibreOffice(const std::string& path, const std::string& filter)
{
    LibreOfficeServer& server = LibreOfficeServer::shared();
    const uno::Reference<uno::XComponentContext> context = server.context();
    const LibreOfficeServer::Call call(server);
    try {
        uno::Sequence<beans::PropertyValue> arguments(1);
        arguments.getArray()[0].Name = "ReadOnly";
        arguments.getArray()[0].Value <<= true;
        const LoadedDocument loaded = LoadDocumentWithoutView(context, DocumentUrl(path), arguments);
        std::string bytes = StoreToBytes(loaded.component, ToOUString(filter));
        uno::Reference<util::XCloseable>(loaded.component, uno::UNO_QUERY_THROW)->close(true);
        return bytes;
    } catch (const uno::Exception& e) {
        server.fail(e);
    }
}

}  // namespace tarnwick::word
