#pragma once
// A private virtual X server for the tests that need one: started on a free
// display number (the server picks it), stopped with the object.

#include <string>

namespace x11test {

class XvfbServer {
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer();

    // Starts "Xvfb -displayfd" with a 1024x768x24 screen and waits (up to
    // timeoutMs) until it accepts connections. On failure *error says why.
    bool Start(std::string* error, int timeoutMs = 20000);
    const std::string& Name() const { return name_; }  // ":N"

private:
    int pid_ = -1;
    std::string name_;
};

}  // namespace x11test
