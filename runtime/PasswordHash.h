// The saver's own password as it is stored: a salted, iterated one-way hash
// (PBKDF2 with HMAC-SHA-256), never the password or anything it could be
// recovered from. The stored text, kept in the profile value
// "Password"/"Encrypt", is
//
//     pbkdf2-sha256$<iterations>$<salt: 32 hex digits>$<hash: 64 hex digits>
//
// with a fresh random 16-byte salt for every store, so that equal passwords
// stored twice give different texts; checking recomputes the hash with the
// stored salt and iteration count.
#pragma once

#include <cstddef>
#include <cstdint>

// Enough for the stored text and its terminating zero.
constexpr int kStoredPasswordSize = 160;
constexpr unsigned kPasswordIterations = 20000;

// SHA-256 of a byte block.
void Sha256(const void* data, std::size_t size, std::uint8_t digest[32]);

// Makes the stored text of a password with a fresh salt. Returns 0 and
// leaves the output untouched for an empty password (which means "no
// password"); otherwise fills out (at least kStoredPasswordSize bytes) and
// returns its length.
int ScramblePassword(const char* password, char* out);
// The same with a given salt and iteration count.
int ScramblePasswordWithSalt(const char* password, const std::uint8_t salt[16],
                             unsigned iterations, char* out);

// True when the stored text is in the format above, so that a password can
// be checked against it. A text that is not (empty, damaged, or kept by an
// older saver in another format) can never match any password.
bool IsStoredPasswordReadable(const char* stored);

// True when the typed password is the one whose stored text this is. An
// empty typed password and a stored text that is not readable never match.
bool VerifyPassword(const char* typed, const char* stored);
