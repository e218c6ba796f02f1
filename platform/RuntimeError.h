// SPDX-License-Identifier: MIT
#pragma once
// Run-time errors: what a failed conversion, an overflow or the use of a missing object raises.
// Callers that trap errors catch RuntimeError (or std::exception); nothing else derives from it.

#include <stdexcept>
#include <string>

class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(int code, const std::string& what) : std::runtime_error(what), m_code(code) {}
    int Code() const { return m_code; }

  private:
    int m_code;
};

// A text that is not a number where a number is needed.
class ConversionError : public RuntimeError {
  public:
    explicit ConversionError(const std::string& what) : RuntimeError(13, what) {}
};

// A number outside the range of its target type.
class OverflowError : public RuntimeError {
  public:
    explicit OverflowError(const std::string& what) : RuntimeError(6, what) {}
};

// A member used on an object that does not exist (yet, or any more).
class ObjectMissingError : public RuntimeError {
  public:
    explicit ObjectMissingError(const std::string& what) : RuntimeError(91, what) {}
};
