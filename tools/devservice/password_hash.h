#pragma once

#include <string>

namespace devservice {

// Passwords are kept in the state folder as Argon2id strings, never as typed. The limits are
// low (a development service on loopback; tests log in many times) but the form is the one a
// real service keeps.
std::string HashPassword(const std::string& password);
bool VerifyPassword(const std::string& hash, const std::string& password);

}  // namespace devservice
