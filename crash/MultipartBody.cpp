#include "crash/MultipartBody.h"

namespace tarnwick::crash {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

void AppendTextPart(std::string& body, std::string_view name, std::string_view value)
{
    body.append("--").append(kMultipartBoundary).append(kLineEnd);
    body.append("Content-Disposition: form-data; name=\"").append(name).append("\"").append(kLineEnd);
    body.append(kLineEnd).append(value).append(kLineEnd);
}

}  // namespace

std::string MultipartContentType() { return std::string("multipart/form-data; boundary=") + kMultipartBoundary; }

std::string BuildMultipartBody(std::string_view email, std::string_view description, std::string_view fileName,
                               std::string_view contentType, std::string_view fileBytes)
{
    std::string body;
    body.reserve(fileBytes.size() + email.size() + description.size() + fileName.size() + 512);
    AppendTextPart(body, "email", email);
    AppendTextPart(body, "beschreib", description);
    body.append("--").append(kMultipartBoundary).append(kLineEnd);
    body.append("Content-Disposition: form-data; name=\"dmpdatei\"; filename=\"").append(fileName).append("\"");
    body.append(kLineEnd);
    body.append("Content-Type: ").append(contentType.empty() ? kDefaultContentType : contentType).append(kLineEnd);
    body.append(kLineEnd).append(fileBytes).append(kLineEnd);
    body.append("--").append(kMultipartBoundary).append("--").append(kLineEnd);
    return body;
}

}  // namespace tarnwick::crash
