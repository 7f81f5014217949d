#pragma once
// Opening a serial device for this program alone, in a way that ends with the program.
//
// The lock is an flock() on the open descriptor: the kernel drops it when the last
// descriptor goes, also when the program is killed. TIOCEXCL is added only on devices
// that forget it at their last close; a pseudo-terminal (socat, ser2net, a simulator)
// keeps it for as long as its other side stays open, so a killed program would leave
// it refusing every later open by a normal user with EBUSY.
#include <string>

namespace varnex {

// The tty requests that a pseudo-terminal cannot show (modem lines, exclusive mode). The
// serial platform sends them through here, so a test can see what was asked.
class TtyControl {
public:
    virtual ~TtyControl() = default;
    // ioctl(fd, request, argument); -1 with errno on failure.
    virtual int request(int fd, unsigned long request, int* argument);
    // The one that talks to the kernel.
    static TtyControl& system();
};

// True for devices whose exclusive flag survives the last close of this side: the
// slaves of Unix 98 pseudo-terminals (majors 136..143) and the legacy BSD ones (3).
bool ExclusiveFlagOutlivesLastClose(unsigned int deviceMajor);

struct ExclusiveTtyResult {
    int fd = -1;          // open descriptor, or -1
    int error = 0;        // errno of the failure (EBUSY when another program holds it)
    std::string message;  // why, naming the path ("" on success)
};

// Read/write, non-blocking, no controlling terminal, close-on-exec; refuses a file that
// is not a tty (ENOTTY) and a device that another program holds (EBUSY).
ExclusiveTtyResult OpenTtyExclusively(const std::string& path, TtyControl& control = TtyControl::system());

// Gives up exclusive mode (where it was taken) and closes the descriptor.
void CloseExclusiveTty(int fd, TtyControl& control = TtyControl::system());

} // namespace varnex
