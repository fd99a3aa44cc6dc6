#include "engine/inside/InsideError.h"

#include <utility>

namespace tarnwick::inside {
namespace {

class Category final : public std::error_category {
public:
    const char* name() const noexcept override { return "inside"; }
    std::string message(int value) const override
    {
        switch (static_cast<InsideErrorKind>(value)) {
        case InsideErrorKind::CannotOpen: return "cannot be read";
        case InsideErrorKind::Damaged: return "damaged";
        case InsideErrorKind::Encrypted: return "encrypted";
        case InsideErrorKind::ExpandsTooFar: return "expands too far";
        }
        return "unknown";
    }
};

}  // namespace

const std::error_category& InsideErrorCategory()
{
    static const Category category;
    return category;
}

std::error_code make_error_code(InsideErrorKind kind) { return {static_cast<int>(kind), InsideErrorCategory()}; }

Failure InsideFailure(InsideErrorKind kind, std::string text)
{
    // Not a failed system call: the file was read and is not what it should be.
    return {make_error_code(kind), FailureKind::Refused, std::move(text)};
}

InsideErrorKind InsideKindOf(const Failure& failure)
{
    if (failure.code.category() != InsideErrorCategory()) return InsideErrorKind::CannotOpen;
    return static_cast<InsideErrorKind>(failure.code.value());
}

}  // namespace tarnwick::inside
