#pragma once

namespace bivane::test {

// The settings file that a first start writes when it is closed at once.
inline constexpr const char* kFirstStartFile =
    "1,\"4800,n,8,1\"\r\n"
    "2,\"4800,n,8,1\"\r\n"
    "3,\"4800,n,8,1\"\r\n"
    "0,0\r\n"
    "0,0\r\n"
    "#FALSE#\r\n";

}  // namespace bivane::test
