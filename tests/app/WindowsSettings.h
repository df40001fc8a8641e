#pragma once
// Windows only: the product's settings written into the real registry, under
// a current-user key of the test's own (see RegistrySandbox), where the
// program reads them there. Kept apart so that <windows.h> meets none of our
// headers.

#include <memory>
#include <string>

class WindowsSettings {
public:
    WindowsSettings();
    ~WindowsSettings();
    WindowsSettings(const WindowsSettings&) = delete;
    WindowsSettings& operator=(const WindowsSettings&) = delete;

    bool Ready() const;
    // Replaces the product's key with these values: the lines of a registry
    // file's section ("Name"="text", with \\ and \" escaped; UTF-8), as
    // AppArchiveTest::WriteRegistry takes them.
    bool Write(const std::string& body);

private:
    struct Sandbox;
    std::unique_ptr<Sandbox> sandbox_;
};
