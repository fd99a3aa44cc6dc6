#pragma once
// The body of the report upload, multipart/form-data with three parts in
// this order: "email" and "beschreib" (text), "dmpdatei" (the archive).
#include <string>
#include <string_view>

namespace tarnwick::crash {

inline constexpr char kMultipartBoundary[] = "--MULTI-PARTS-FORM-DATA-BOUNDARY";
inline constexpr char kDefaultContentType[] = "application/octet-stream";

// "multipart/form-data; boundary=--MULTI-PARTS-FORM-DATA-BOUNDARY"
std::string MultipartContentType();

// `contentType` empty means kDefaultContentType.
std::string BuildMultipartBody(std::string_view email, std::string_view description, std::string_view fileName,
                               std::string_view contentType, std::string_view fileBytes);

}  // namespace tarnwick::crash
