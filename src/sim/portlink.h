// The dosdevices map: port number n is the device that ~/.config/pkivo/dosdevices/com<n>
// links to. The virtual controller puts its pseudo-terminal there and takes it away again.
#pragma once

#include <optional>
#include <string>

namespace pkivo::sim {

std::string portLinkPath(int number);

// Links com<number> to `target`, or the first free com<n> from 1 when no number is given. A
// link whose device no longer exists (left by a controller that was killed) counts as free.
// The number linked, or nothing with a message.
std::optional<int> linkPort(const std::string& target, std::optional<int> number,
                            std::string& error);
// Removes com<number> if it still links to `target`.
void unlinkPort(int number, const std::string& target);

} // namespace pkivo::sim
