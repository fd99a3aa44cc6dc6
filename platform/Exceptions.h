#pragma once
// The program's exception family. Texts shown to the user name the class
// ("CFileException: ...") so each class reports its own name.
#include <stdexcept>
#include <string>

namespace tarnwick {

// Base of every exception the engine raises on purpose. `className()` is
// the name that appears in user-visible texts, `errorText()` the reason.
class FrameworkException : public std::runtime_error {
public:
    explicit FrameworkException(const std::string& text) : std::runtime_error(text) {}
    virtual const char* className() const noexcept { return "CException"; }
    std::string errorText() const { return what(); }
};

// A read, seek or write on an open file failed.
class CFileException : public FrameworkException {
public:
    using FrameworkException::FrameworkException;
    const char* className() const noexcept override { return "CFileException"; }
};

// A buffer could not be allocated.
class CMemoryException : public FrameworkException {
public:
    using FrameworkException::FrameworkException;
    const char* className() const noexcept override { return "CMemoryException"; }
};

}  // namespace tarnwick
