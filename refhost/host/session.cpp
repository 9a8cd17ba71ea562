#include "refhost/host/session.h"

#include <cstdio>
#include <utility>

namespace refhost {

HostConfig hostConfig;
HostSession session;

void NewSession() {
  HostSession fresh;
  fresh.largestWidth = hostConfig.largestWidth;
  fresh.largestHeight = hostConfig.largestHeight;
  session = std::move(fresh);
}

void Fault(const std::string& what) {
  session.faults.push_back(what);
  if (hostConfig.interactive) std::fprintf(stderr, "refhost: %s\n", what.c_str());
}

}  // namespace refhost
