// Bad input to replay or logcheck: a log, a country file or a command line.
#pragma once

#include <stdexcept>

// The message names the file, the line or record, or the option, and what is wrong.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
