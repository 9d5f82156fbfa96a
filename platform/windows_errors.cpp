#include "platform/windows_errors.h"

#include <windows.h>

namespace platform {

std::string windows_error_text(unsigned long error) {
  char* text = nullptr;
  const DWORD size = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = size ? std::string(text, size) : "error " + std::to_string(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                              message.back() == '.'))
    message.pop_back();
  return message;
}

}  // namespace platform
