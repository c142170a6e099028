#pragma once
// The one run-time error of the program: a number and a description, as the
// platform's error object carried them (6 "Overflow", database errors with the
// provider's number). Every layer raises it; only the routines that promise to
// trap errors catch it. Header-only, standard library only.

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace tanka {

class RunError : public std::exception {
public:
    RunError(std::int32_t number, std::string description)
        : m_number(number), m_description(std::move(description)) {}

    std::int32_t number() const noexcept { return m_number; }
    // UTF-8 text, shown to the user as it stands.
    const std::string& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_description.c_str(); }

private:
    std::int32_t m_number;
    std::string m_description;
};

namespace err {
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t ObjectNotSet = 91;
// A file could not be created or written ("Path/File access error").
inline constexpr std::int32_t FileFailed = 75;
} // namespace err

[[noreturn]] inline void raiseOverflow() {
    throw RunError(err::Overflow, "Overflow");
}

} // namespace tanka
