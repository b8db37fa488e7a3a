#include "platform/serial_device.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include "platform/env.h"

namespace plat {

namespace {

struct BaudCode {
    uint32_t baud;
    speed_t code;
};

constexpr BaudCode k_bauds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool baud_code(uint32_t baud, speed_t& code) {
    for (const auto& b : k_bauds) {
        if (b.baud == baud) {
            code = b.code;
            return true;
        }
    }
    return false;
}

tcflag_t size_flag(uint8_t bits) {
    switch (bits) {
        case 5: return CS5;
        case 6: return CS6;
        case 7: return CS7;
        default: return CS8;
    }
}

// Raw binary line: no echo, no line editing, no translation of any byte.
void make_raw(termios& t) {
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                        IXANY | INPCK | IGNPAR);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

// A pseudo-terminal has no character framing: the kernel keeps 8 data bits
// without parity, and the C library reports that as EINVAL although the
// rest was applied. Such a line is configured as far as it can be.
bool applied_but_framing(int fd, const termios& wanted) {
    termios now{};
    if (errno != EINVAL || ::tcgetattr(fd, &now) != 0) return false;
    constexpr tcflag_t framing = CSIZE | PARENB | PARODD | CSTOPB | CREAD;
    return now.c_iflag == wanted.c_iflag && now.c_oflag == wanted.c_oflag && now.c_lflag == wanted.c_lflag &&
           (now.c_cflag & ~framing) == (wanted.c_cflag & ~framing) && ::cfgetospeed(&now) == ::cfgetospeed(&wanted);
}

WaitResult poll_fd(int fd, short events, uint32_t timeout_ms) {
    pollfd p{fd, events, 0};
    const uint64_t deadline = serial_time_ms() + timeout_ms;
    for (;;) {
        const uint64_t now = serial_time_ms();
        const int wait = now >= deadline ? 0 : static_cast<int>(deadline - now);
        const int n = ::poll(&p, 1, wait);
        if (n > 0) return (p.revents & (events | POLLHUP)) != 0 ? WaitResult::signalled : WaitResult::failed;
        if (n == 0) return WaitResult::timed_out;
        if (errno != EINTR) return WaitResult::failed;
    }
}

std::mutex g_alias_lock;

std::map<std::string, std::string, std::less<>>& aliases() {
    static std::map<std::string, std::string, std::less<>> table;
    return table;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// The number n of "COMn" (1 to 255), or 0 for any other name.
int com_number(std::string_view name) {
    if (name.starts_with("\\\\.\\")) name.remove_prefix(4);
    if (name.size() < 4 || upper(name.substr(0, 3)) != "COM" || name.size() > 6) return 0;
    int n = 0;
    for (char c : name.substr(3)) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= 255 ? n : 0;
}

// The key of the alias table: "COMn" in upper case, other names as given.
std::string alias_key(std::string_view name) {
    const int n = com_number(name);
    return n != 0 ? "COM" + std::to_string(n) : std::string(name);
}

}  // namespace

uint64_t serial_time_ms() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::unique_ptr<SerialDevice> SerialDevice::open(const std::string& path, int* error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error != nullptr) *error = errno;
        return nullptr;
    }
    // flock holds against every other open of the device, whoever opens it;
    // the terminal's own exclusive mode would let root through.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (error != nullptr) *error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<SerialDevice>(new SerialDevice(fd));
}

SerialDevice::~SerialDevice() {
    if (fd_ >= 0) ::close(fd_);
}

bool SerialDevice::is_line() const { return fd_ >= 0 && ::isatty(fd_) == 1; }

bool SerialDevice::set_queue_sizes(uint32_t in_bytes, uint32_t out_bytes) {
    return is_line() && in_bytes > 0 && out_bytes > 0;
}

bool SerialDevice::watch_received(bool) { return is_line(); }

bool SerialDevice::get_config(SerialConfig& config) const {
    termios t{};
    if (fd_ < 0 || ::tcgetattr(fd_, &t) != 0) return false;
    config = config_;
    return true;
}

bool SerialDevice::set_config(const SerialConfig& config) {
    termios t{};
    speed_t speed{};
    if (fd_ < 0 || config.data_bits < 5 || config.data_bits > 8 || !baud_code(config.baud, speed)) return false;
    if (::tcgetattr(fd_, &t) != 0) return false;
    make_raw(t);
    t.c_cflag |= size_flag(config.data_bits);
    if (config.parity != Parity::none) t.c_cflag |= PARENB;
    if (config.parity == Parity::odd) t.c_cflag |= PARODD;
    if (config.parity_check) t.c_iflag |= INPCK;
    // termios knows one or two stop bits; a UART sends 1.5 for "two" at 5 bits.
    if (config.stop_bits != StopBits::one) t.c_cflag |= CSTOPB;
    if (config.xon_xoff_out) t.c_iflag |= IXON;
    if (config.xon_xoff_in) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(config.xon_char);
    t.c_cc[VSTOP] = static_cast<cc_t>(config.xoff_char);
    if (config.cts_out_flow) t.c_cflag |= CRTSCTS;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return false;
    if (::tcsetattr(fd_, TCSANOW, &t) != 0 && !applied_but_framing(fd_, t)) return false;
    config_ = config;
    if (config.dtr == DtrControl::enable) set_dtr(true);
    if (config.dtr == DtrControl::disable) set_dtr(false);
    return true;
}

bool SerialDevice::set_dtr(bool raised) {
    int bits = TIOCM_DTR;
    return fd_ >= 0 && ::ioctl(fd_, raised ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

long SerialDevice::read_some(void* buffer, std::size_t max) {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, max);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        if (errno != EINTR) return -1;
    }
}

long SerialDevice::write_some(const void* bytes, std::size_t count) {
    for (;;) {
        const ssize_t n = ::write(fd_, bytes, count);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        if (errno != EINTR) return -1;
    }
}

WaitResult SerialDevice::wait_readable(uint32_t timeout_ms) {
    return fd_ < 0 ? WaitResult::failed : poll_fd(fd_, POLLIN, timeout_ms);
}

WaitResult SerialDevice::wait_writable(uint32_t timeout_ms) {
    return fd_ < 0 ? WaitResult::failed : poll_fd(fd_, POLLOUT, timeout_ms);
}

bool SerialDevice::queue_counts(uint32_t& in_bytes, uint32_t& out_bytes) {
    int in = 0;
    int out = 0;
    if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &in) != 0 || ::ioctl(fd_, TIOCOUTQ, &out) != 0) return false;
    in_bytes = static_cast<uint32_t>(in);
    out_bytes = static_cast<uint32_t>(out);
    return true;
}

WaitResult SerialDevice::wait_output_drained(uint32_t timeout_ms) {
    const uint64_t start = serial_time_ms();
    for (;;) {
        uint32_t in = 0;
        uint32_t out = 0;
        if (!queue_counts(in, out)) return WaitResult::failed;
        if (out == 0) return WaitResult::signalled;
        if (timeout_ms != WAIT_FOREVER && serial_time_ms() - start >= timeout_ms) return WaitResult::timed_out;
        // The driver gives no signal when its queue runs empty: look again
        // after about one character time at slow rates.
        timespec pause{0, 1'000'000};
        ::nanosleep(&pause, nullptr);
    }
}

bool SerialDevice::take_line_errors(uint32_t& errors) {
    errors = 0;
    return is_line();
}

bool SerialDevice::discard(bool input, bool output) {
    if (fd_ < 0 || (!input && !output)) return fd_ >= 0;
    const int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    return ::tcflush(fd_, which) == 0;
}

bool SerialDevice::close() {
    if (fd_ < 0) return false;
    if (::close(fd_) != 0 && errno == EBADF) return false;
    fd_ = -1;
    return true;
}

std::string serial_device_path(std::string_view port_name) {
    if (port_name.starts_with('/')) return std::string(port_name);
    const std::string key = alias_key(port_name);
    {
        std::lock_guard lock(g_alias_lock);
        auto it = aliases().find(key);
        if (it != aliases().end()) return it->second;
    }
    if (const int n = com_number(port_name); n != 0) {
        if (auto path = get_env(("KELM_SERIAL_" + key).c_str()); path && !path->empty()) return *path;
        return "/dev/ttyS" + std::to_string(n - 1);
    }
    return "/dev/" + std::string(port_name);
}

void set_serial_port_alias(std::string_view port_name, std::string_view device_path) {
    std::lock_guard lock(g_alias_lock);
    if (device_path.empty()) {
        aliases().erase(alias_key(port_name));
    } else {
        aliases()[alias_key(port_name)] = std::string(device_path);
    }
}

}  // namespace plat
