// The real FTP connection, on libcurl. The program's start hands it to the game as
// Platform::ftp; the game never picks it itself.
#pragma once

#include <memory>

#include "platform/ftp/ftp_port.hpp"

namespace zb {

// Timeouts so that a dead, silent or stalled server fails within about ten seconds; TLS as the
// login asks, with the server's certificate checked.
std::unique_ptr<FtpConnection> NewCurlFtpConnection();

}  // namespace zb
