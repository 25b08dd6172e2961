#include "driver/Privileges.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>

bool IsDriverSocket(int fd) {
  int type = 0, domain = 0;
  socklen_t length = sizeof type;
  if (getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) != 0 || type != SOCK_SEQPACKET)
    return false;
  length = sizeof domain;
  return getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &domain, &length) == 0 && domain == AF_UNIX;
}

bool KeepOnlyRawIo() {
  // The bounding set first: dropping from it takes a capability that goes next.
  for (int cap = 0; cap <= CAP_LAST_CAP; ++cap) {
    if (cap != CAP_SYS_RAWIO) prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);
  }
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  const std::uint32_t rawIo = CAP_TO_MASK(CAP_SYS_RAWIO);
  for (unsigned word = 0; word < _LINUX_CAPABILITY_U32S_3; ++word) {
    const std::uint32_t keep = word == CAP_TO_INDEX(CAP_SYS_RAWIO) ? rawIo : 0;
    data[word].effective &= keep;
    data[word].permitted &= keep;
    data[word].inheritable = 0;
  }
  if (syscall(SYS_capset, &header, data) != 0) return false;
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0;
}
