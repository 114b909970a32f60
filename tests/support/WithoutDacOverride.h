#pragma once
// Drops, for the calling thread and while the object lives, the capabilities
// that let root read, write and delete in any folder, so that tests of
// permission failures mean something when the suite runs as root. Active()
// is false when the capabilities could not be dropped.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace orbisk::test {

class WithoutDacOverride {
public:
    WithoutDacOverride() {
        if (::syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        active_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutDacOverride() {
        if (active_) ::syscall(SYS_capset, &header_, saved_);
    }
    WithoutDacOverride(const WithoutDacOverride&) = delete;
    WithoutDacOverride& operator=(const WithoutDacOverride&) = delete;
    bool Active() const { return active_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

} // namespace orbisk::test
