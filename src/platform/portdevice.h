// Which device a port number stands for. Port n is whatever ~/.config/pkivo/dosdevices/com<n>
// links to; a number without a link falls back to the usual devices of a Linux PC:
//   COM1-COM32  -> /dev/ttyS0 - /dev/ttyS31    (built-in and PCI serial ports)
//   COM33-COM48 -> /dev/ttyUSB0 - /dev/ttyUSB15 (USB serial adapters)
//   COM49-COM56 -> /dev/ttyACM0 - /dev/ttyACM7  (USB CDC-ACM devices)
// Higher numbers have no default device. See docs/ports.md.
#pragma once

#include <string>

namespace pkivo {

// Port numbers run from 1 to this one; a higher number stands for no device at all.
inline constexpr int highestPortNumber = 255;

// The folder of port links: $HOME/.config/pkivo/dosdevices.
std::string portLinkFolder();
// The device path of port `number`; "" when it has none. A link is followed to its target
// (so two names for one device share one lock); a dangling link is returned as it stands.
std::string portDevicePath(int number);
// Port `number` is named by a link of its own, even one whose device is gone for now.
bool hasPortLink(int number);

} // namespace pkivo
