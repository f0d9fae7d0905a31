// Answers the message boxes this process shows while a test runs: a watcher thread
// finds each one, records its caption, text and owner, and presses its OK button.
#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    void* owner = nullptr;  // the owner window's handle
};

class MessageBoxAnswerer {
public:
    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    std::vector<SeenMessageBox> Seen();

private:
    void Watch();
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenMessageBox> seen_;
    std::thread thread_;
};
