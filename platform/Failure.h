#pragma once
// What went wrong, as every layer below the front ends reports it inside an
// Expected (platform/Expected.h): the system's error code where a system
// call failed, what kind of failure it is, and the text the user is told.
#include <cstdint>
#include <string>
#include <system_error>
#include <utility>

namespace tarnwick {

enum class FailureKind : std::uint8_t {
    System,  // a system call failed; `code` holds its errno value
    InvalidInput,  // what the user typed or chose cannot be used: an expression, escape, option or template
    Refused,  // a component (the document engine, the word processor) did not do what was asked
};

struct Failure {
    std::error_code code;  // empty where no system call failed
    FailureKind kind = FailureKind::System;
    // The whole text the user is told. Empty where the layer leaves the
    // wording to its caller (which then words `code`) or there is nothing to tell.
    std::string detail;
    std::int64_t position = -1;  // the byte of the input where it went wrong; -1 when unknown or meaningless
};

// A failed system call, with the text for the user where this layer words it.
inline Failure systemFailure(std::error_code code, std::string detail = {})
{
    return {code, FailureKind::System, std::move(detail)};
}
inline Failure invalidInput(std::string detail, std::int64_t position = -1)
{
    return {{}, FailureKind::InvalidInput, std::move(detail), position};
}
inline Failure refusal(std::string detail) { return {{}, FailureKind::Refused, std::move(detail)}; }

}  // namespace tarnwick
