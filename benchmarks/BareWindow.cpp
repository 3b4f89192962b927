// The yardstick for the client's start: a bare Qt window that shows itself and then makes the
// same status request over a plain blocking socket. bare_window PORT
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 2) return 2;
  const int port = std::atoi(argv[1]);
  QWidget window;
  window.resize(521, 361);
  window.show();
  QTimer::singleShot(0, [port] {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      const std::string line = "Status;1\r\n";
      if (::write(fd, line.data(), line.size()) > 0) {
        char reply[512];
        (void)!::read(fd, reply, sizeof reply);
      }
    }
    ::close(fd);
  });
  return QApplication::exec();
}
