#pragma once

// Root writes into any folder whatever its mode. While one of these lives,
// the calling thread (and the threads it starts) works without the
// capabilities that override file modes, so that a folder made read-only
// refuses root as it refuses a user. Without those capabilities it changes
// nothing.
#include <cstring>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vesk::test {

class PermissionsBind {
public:
    PermissionsBind()
    {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        header_.pid = 0;
        held_ = syscall(SYS_capget, &header_, saved_) == 0;
        if (!held_)
            return;
        __user_cap_data_struct lowered[2];
        std::memcpy(lowered, saved_, sizeof saved_);
        lowered[0].effective
            &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        syscall(SYS_capset, &header_, lowered);
    }
    ~PermissionsBind()
    {
        if (held_)
            syscall(SYS_capset, &header_, saved_);
    }
    PermissionsBind(const PermissionsBind&) = delete;
    PermissionsBind& operator=(const PermissionsBind&) = delete;

private:
    __user_cap_header_struct header_ {};
    __user_cap_data_struct saved_[2] {};
    bool held_ = false;
};

} // namespace vesk::test
