// c_edge.hpp: the guard around every exported function, so that no exception reaches a C caller.
#pragma once

#include <type_traits>

namespace orvik {

// Runs body and returns its result, or onFault (null, 0) when anything is thrown.
template <typename Body, typename Result = std::invoke_result_t<Body&>>
Result sealed(Body&& body, Result onFault = Result {}) noexcept
{
    try {
        return body();
    } catch (...) {
        return onFault;
    }
}

} // namespace orvik
