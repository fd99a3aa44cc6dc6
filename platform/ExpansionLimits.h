#pragma once
// How far compressed data may expand when the program inflates it (the parts
// of a document package; entries of an archive searched inside): a small
// file that inflates to gigabytes must be refused before it takes the
// machine's memory. Checked twice: against the sizes the archive states,
// before anything is inflated, and against the bytes actually produced,
// because the stated sizes are the archive's word only.
#include <cstdint>

namespace tarnwick {

// Up to this size any ratio is accepted: small parts compress well by nature.
inline constexpr std::uint64_t kExpansionFreeSize = std::uint64_t(16) << 20;
// Beyond kExpansionFreeSize, at most this many times the compressed size.
inline constexpr std::uint64_t kMaxExpansionRatio = 100;
// All entries inflated from one file together.
inline constexpr std::uint64_t kMaxExpandedTotal = std::uint64_t(1) << 30;
// The same for an archive searched inside, nested archives included: archives
// hold whole trees of files where a document holds a few parts.
inline constexpr std::uint64_t kMaxArchiveExpandedTotal = std::uint64_t(4) << 30;

// True when `expanded` bytes made from `compressed` bytes are too many for one entry.
constexpr bool ExceedsExpansionRatio(std::uint64_t expanded, std::uint64_t compressed)
{
    // expanded > ratio * compressed, without the product's overflow.
    return expanded > kExpansionFreeSize && compressed <= (expanded - 1) / kMaxExpansionRatio;
}

// The most bytes one entry of `compressed` bytes may expand to.
constexpr std::uint64_t MaxExpandedSize(std::uint64_t compressed)
{
    const std::uint64_t byRatio = compressed > UINT64_MAX / kMaxExpansionRatio ? UINT64_MAX : compressed * kMaxExpansionRatio;
    return byRatio > kExpansionFreeSize ? byRatio : kExpansionFreeSize;
}

}  // namespace tarnwick
