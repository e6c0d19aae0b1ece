#pragma once
// The names of the files opened in one folder while the object lives (inotify), so that a test can
// show that nothing there was read.

#include <sys/inotify.h>
#include <unistd.h>

#include <QString>
#include <QStringList>
#include <array>

class CFileOpens {
 public:
  explicit CFileOpens(const QString& folder) : watch(inotify_init1(IN_NONBLOCK)) {
    inotify_add_watch(watch, folder.toLocal8Bit().constData(), IN_OPEN | IN_ACCESS);
  }
  ~CFileOpens() { close(watch); }
  CFileOpens(const CFileOpens&) = delete;
  CFileOpens& operator=(const CFileOpens&) = delete;

  QStringList Seen() {
    std::array<char, 4096> buffer{};
    for (ssize_t size; (size = read(watch, buffer.data(), buffer.size())) > 0;)
      for (ssize_t at = 0; at < size;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
        seen << (event->len ? QString::fromLocal8Bit(event->name) : QString("."));
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    return seen;
  }

 private:
  int watch;
  QStringList seen;
};
