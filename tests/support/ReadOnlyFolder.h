#pragma once
// Tests of writes that must fail: a folder that cannot be written while the object lives.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QFile>
#include <QString>

// Takes the write permission of a folder away while it lives. Root writes into read-only folders all
// the same, so this thread also sets aside its power to override file permissions meanwhile.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const QString& folder) : path(folder), permissions(QFile::permissions(folder)) {
    syscall(SYS_capget, &header, saved);
    __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
    reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
    syscall(SYS_capset, &header, reduced);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  }
  ~ReadOnlyFolder() {
    syscall(SYS_capset, &header, saved);
    QFile::setPermissions(path, permissions);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  // False where the folder can be written all the same.
  bool Holds() const {
    QFile probe(path + "/probe");
    if (!probe.open(QIODevice::WriteOnly)) return true;
    probe.remove();
    return false;
  }

 private:
  QString path;
  QFileDevice::Permissions permissions;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved[2] = {};
};
