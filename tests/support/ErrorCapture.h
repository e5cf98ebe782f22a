#pragma once

#include <gtest/gtest.h>

#include <QString>

namespace xhook::test {

// The error of type `Error` that `step` raises; a failure of the test when it raises none.
template <typename Error, typename Step>
Error raisedBy(Step step) {
    try {
        step();
    } catch (const Error& error) {
        return error;
    }
    ADD_FAILURE() << "no error raised";
    return Error(0, QString());
}

}  // namespace xhook::test
