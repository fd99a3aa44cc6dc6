#pragma once
// How every layer below the front ends reports failures: a call that can
// fail returns an Expected<T>, holding either its value or a Failure
// (platform/Failure.h); Expected<void> where there is no value. Asking a
// failed Expected for its value ends the program: test it first.
//
// Boost.Outcome's result does the work: it takes a plain struct as its
// error and needs no exceptions. It keeps an empty Failure beside a value,
// which costs no allocation.
#include <boost/outcome/policy/terminate.hpp>
#include <boost/outcome/result.hpp>

#include "platform/Failure.h"

namespace tarnwick {

template <class T>
using Expected = boost::outcome_v2::result<T, Failure, boost::outcome_v2::policy::terminate>;

// The success of an Expected<void>.
inline auto succeeded() { return boost::outcome_v2::success(); }

// Says at the call that a failure is let pass on purpose, where the program
// reports none (a settings write), instead of a bare cast to void.
template <class T>
void IgnoreFailure(const Expected<T>&)
{
}

}  // namespace tarnwick
