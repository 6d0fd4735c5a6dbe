#include "RequestLog.h"

#include <cstdio>

namespace plcsim {

std::string FormatLogLine(const LogRecord& record) {
    char head[48];
    if (record.operation) {
        std::snprintf(head, sizeof head, "%llu %04X/%02X",
                      static_cast<unsigned long long>(record.timeMs), record.type,
                      *record.operation);
    } else {
        std::snprintf(head, sizeof head, "%llu %04X",
                      static_cast<unsigned long long>(record.timeMs), record.type);
    }
    return std::string(head) + " dst=" + ambrel::FormatMac(record.destination) +
           " src=" + ambrel::FormatMac(record.source) + " " + record.summary;
}

}  // namespace plcsim
