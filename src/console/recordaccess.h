// One instruction record or packed record read or written by line: the two editors and
// `pkivo-cli record` / `pkivo-cli packed` all go through here.
//
// A Get hands back a record only when the exchange succeeded and a record came: after a
// time-out the buffer is empty, after a failed handshake it still holds the request, and after
// a refusal it holds the controller's answer. Decoding any of them would fill the boxes with
// zeros or filler, and the next Put would write that back.
#pragma once

#include "link/records.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pkivo {

class Link;

struct RecordResult {
    // The record's digits as read (Get) or as written (Put); none when the exchange failed or
    // another exchange held the link.
    std::optional<std::string> digits;
    // The status line: the result code, a space and its text.
    std::string status;
    // What the editor's packet box shows afterwards; none when it keeps what it showed.
    std::optional<std::string> shown;
    bool ok() const { return digits.has_value(); }
};

RecordResult getRecord(Link& link, record::Kind kind, uint32_t line);
// `digits` is a whole record of hex digits (record::isRecordText).
RecordResult putRecord(Link& link, record::Kind kind, uint32_t line, const std::string& digits);

} // namespace pkivo
