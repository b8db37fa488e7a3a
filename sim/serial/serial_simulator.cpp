#include "sim/serial/serial_simulator.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

#include "platform/serial_device.h"

namespace kelm::sim {

namespace {

void fail(const char* what) { throw std::runtime_error(std::string("serial simulator: ") + what); }

void set_nonblocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

}  // namespace

SerialSimulator::SerialSimulator(std::unique_ptr<DeviceModel> model) : model_(std::move(model)) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) fail("no pseudo-terminal");
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) fail("no terminal name");
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) fail("cannot open the terminal");
    // Raw from the start: bytes must not echo back before the library
    // configures the line.
    termios t{};
    ::tcgetattr(slave_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave_, TCSANOW, &t);
    set_nonblocking(master_);
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) fail("no pipe");

    char dir[] = "/tmp/kelm-serial-XXXXXX";
    if (::mkdtemp(dir) == nullptr) fail("no folder for the device name");
    dir_ = dir;
    link_path_ = dir_ + "/tty";
    if (::symlink(name, link_path_.c_str()) != 0) fail("cannot name the device");
    thread_ = std::thread([this] { run(); });
}

SerialSimulator::~SerialSimulator() {
    {
        std::lock_guard lock(lock_);
        stopping_ = true;
    }
    const char stop = 1;
    (void)!::write(wake_[1], &stop, 1);
    if (thread_.joinable()) thread_.join();
    if (!bound_name_.empty()) plat::set_serial_port_alias(bound_name_, "");
    ::unlink(link_path_.c_str());
    ::rmdir(dir_.c_str());
    for (int fd : {master_, slave_, wake_[0], wake_[1]}) {
        if (fd >= 0) ::close(fd);
    }
}

void SerialSimulator::bind_port_name(std::string_view name) {
    bound_name_ = std::string(name);
    plat::set_serial_port_alias(name, link_path_);
}

LineState SerialSimulator::line_state() const {
    termios t{};
    LineState s;
    if (::tcgetattr(slave_, &t) != 0) return s;
    struct Speed {
        speed_t code;
        uint32_t baud;
    };
    constexpr Speed speeds[] = {{B150, 150},     {B300, 300},     {B600, 600},       {B1200, 1200},
                                {B2400, 2400},   {B4800, 4800},   {B9600, 9600},     {B19200, 19200},
                                {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400}};
    for (const auto& sp : speeds) {
        if (sp.code == ::cfgetospeed(&t)) s.baud = sp.baud;
    }
    s.xon_xoff = (t.c_iflag & (IXON | IXOFF)) != 0;
    s.raw = (t.c_lflag & (ECHO | ICANON | ISIG)) == 0 && (t.c_oflag & OPOST) == 0 && (t.c_iflag & ICRNL) == 0;
    return s;
}

std::string SerialSimulator::received() const {
    std::lock_guard lock(lock_);
    return received_;
}

void SerialSimulator::clear_received() {
    std::lock_guard lock(lock_);
    received_.clear();
}

bool SerialSimulator::wait_received(std::size_t bytes, uint32_t timeout_ms) const {
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return received_.size() >= bytes; });
}

uint32_t SerialSimulator::replies_sent() const {
    std::lock_guard lock(lock_);
    return replies_;
}

void SerialSimulator::set_silent(bool silent) {
    std::lock_guard lock(lock_);
    silent_ = silent;
}

void SerialSimulator::set_reply_delay_ms(uint32_t ms) {
    std::lock_guard lock(lock_);
    reply_delay_ms_ = ms;
}

void SerialSimulator::set_byte_gap_ms(uint32_t ms) {
    std::lock_guard lock(lock_);
    byte_gap_ms_ = ms;
}

void SerialSimulator::corrupt_replies(uint32_t count) {
    std::lock_guard lock(lock_);
    corrupt_count_ = count;
}

void SerialSimulator::cut_replies(uint32_t count, std::size_t keep) {
    std::lock_guard lock(lock_);
    cut_count_ = count;
    cut_keep_ = keep;
}

void SerialSimulator::send_unsolicited(std::string_view bytes) { write_all(bytes); }

void SerialSimulator::with_model(const std::function<void(DeviceModel&)>& f) {
    std::lock_guard lock(model_lock_);
    f(*model_);
}

bool SerialSimulator::pause_ms(uint32_t ms) {
    if (ms == 0) return true;
    pollfd p{wake_[0], POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(ms)) == 0;
}

bool SerialSimulator::write_all(std::string_view bytes) {
    std::lock_guard lock(write_lock_);
    while (!bytes.empty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd p[2] = {{master_, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0 && errno != EINTR) return false;
        if (p[1].revents != 0) return false;
    }
    return true;
}

void SerialSimulator::answer(std::string reply) {
    uint32_t delay = 0;
    uint32_t gap = 0;
    {
        std::lock_guard lock(lock_);
        if (silent_ || reply.empty()) return;
        if (corrupt_count_ > 0) {
            --corrupt_count_;
            reply.back() = static_cast<char>(~static_cast<unsigned char>(reply.back()));
        }
        if (cut_count_ > 0) {
            --cut_count_;
            if (reply.size() > cut_keep_) reply.resize(cut_keep_);
        }
        delay = reply_delay_ms_;
        gap = byte_gap_ms_;
        ++replies_;
    }
    if (!pause_ms(delay)) return;
    if (gap == 0) {
        write_all(reply);
        return;
    }
    for (std::size_t i = 0; i < reply.size(); ++i) {
        if ((i > 0 && !pause_ms(gap)) || !write_all(std::string_view(reply).substr(i, 1))) return;
    }
}

void SerialSimulator::run() {
    for (;;) {
        pollfd p[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[1].revents != 0) return;
        uint8_t buffer[512];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) continue;
        {
            std::lock_guard lock(lock_);
            received_.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
        }
        changed_.notify_all();
        std::string reply;
        {
            std::lock_guard lock(model_lock_);
            model_->receive(std::span<const uint8_t>(buffer, static_cast<std::size_t>(n)), reply);
        }
        answer(std::move(reply));
    }
}

}  // namespace kelm::sim
