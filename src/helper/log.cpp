#include "helper/log.h"

#include <syslog.h>

#include <cstdio>
#include <iostream>

namespace vc::helper {

LogSink SystemLog(bool alsoToStderr) {
    ::openlog("velocore-driverd", LOG_PID, LOG_DAEMON);
    return [alsoToStderr](const std::string& line) {
        ::syslog(LOG_NOTICE, "%s", line.c_str());
        if (alsoToStderr) std::cerr << "velocore-driverd: " << line << std::endl;
    };
}

}  // namespace vc::helper
