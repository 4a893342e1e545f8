#pragma once
// Why a serial port did not open. The platform says what happened (the kind, the device,
// the system's details); the words the user reads are built here, once, for every place
// that shows them: the download and firmware dialogs, the command line and the port
// dialog's device report.

#include <string>

#include "platform/bilingual.h"

namespace dravik::platform {

enum class PortOpenFailure {
  NotMapped,     // the COM position names no device
  Missing,       // no such device
  Busy,          // another program (or another Dravik) holds it
  NoPermission,  // the user may not open it
  NotSerial,     // the path is not a serial line
  Other,
};

struct PortOpenError {
  PortOpenFailure kind = PortOpenFailure::Other;
  // The device as the user or the COM position named it ("COM8" when the position names
  // none).
  std::string device;
  // Busy: the programs holding the device, when they can be seen; NoPermission: the group
  // that may open it; Other: the system's own reason.
  std::string detail;

  // The device, the reason and what to do about it.
  Bilingual Message() const;
};

// "does not exist (is the adapter plugged in?)".
Bilingual MissingDeviceHint();
// How a user gets the right to open the devices of `group`.
Bilingual JoinGroupHint(const std::string& group);

}  // namespace dravik::platform
