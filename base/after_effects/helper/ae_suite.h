// Scoped holder of one host suite: acquired when built, released with the same name and version at scope end.
#pragma once

#include <cstdint>

#include "base/after_effects/ae_sdk.h"

namespace nb {

// Throws Exception_Ae_Suite "Can't AcquireSuite (name, version)" carrying error (0 when only the
// table was missing).
[[noreturn]] void throw_suite_not_acquired(const char* name, int32_t version, int32_t error);

// One holder per use; no suite pointer outlives the scope. Suite is the host's function table type.
template <class Suite>
class Ae_Suite {
public:
    // Throws Exception_Ae_Suite when the host refuses the suite or answers with no table.
    Ae_Suite(const SPBasicSuite* basic, const char* name, int32_t version)
        : basic_(basic), name_(name), version_(version) {
        if (basic_ == nullptr) throw_suite_not_acquired(name, version, 0);
        const void* table = nullptr;
        const SPErr error = basic_->AcquireSuite(name, version, &table);
        if (error != kSPNoError) throw_suite_not_acquired(name, version, error);
        if (table == nullptr) {
            // The host counts this as acquired; giving it back keeps its reference count right.
            basic_->ReleaseSuite(name, version);
            throw_suite_not_acquired(name, version, 0);
        }
        suite_ = static_cast<const Suite*>(table);
    }

    // The host's answer to the release cannot be acted upon here, so it is ignored.
    ~Ae_Suite() { basic_->ReleaseSuite(name_, version_); }

    Ae_Suite(const Ae_Suite&) = delete;
    Ae_Suite& operator=(const Ae_Suite&) = delete;

    const Suite* operator->() const noexcept { return suite_; }
    const Suite& operator*() const noexcept { return *suite_; }
    const Suite* get() const noexcept { return suite_; }

private:
    const SPBasicSuite* basic_;
    const char* name_;
    int32_t version_;
    const Suite* suite_ = nullptr;
};

}  // namespace nb
