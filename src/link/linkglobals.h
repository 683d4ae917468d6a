// The link globals: the one program-wide set of texts through which every window hands a
// request to the transfer routines and reads the reply and result code back.
#pragma once

#include <string>

namespace pkivo {

struct LinkGlobals {
    std::string packet;       // request without lead-in; afterwards the reply
    std::string packdata;     // flash page line or packed data out; page or packed record in
    std::string cmdcode;      // docomax: positions 4-6
    std::string cmddata;      // docomax: positions 7-11
    std::string cmdparm1;     // docomax: 51-53 out; 51-53 of the reply
    std::string cmdparm2;     // docomax: 55-57 out; 55-57 of the reply
    std::string cmdparm3;     // docomax: 58-60 out
    std::string replyparm3;   // 58-60 of the reply; "000" after any failed exchange
    std::string datablock;    // docomax: 7-47 out when over 40 characters; 7-47 of the reply
    std::string errcode;      // result code, one character
    std::string errtext;      // its text
    std::string packetstatus; // "A Valid packet has been received" / "Invalid responce from system"
    std::string linkstatus;   // state of the last attention handshake
    bool timedout = false;    // a flash page write ran out of time
    bool monitoring = false;  // while true, waitstatus keeps listening
    std::string tempstr1;     // scratch: discarded input, attention reply, status record
    std::string tempstr2;     // scratch: second discard
    std::string tempstr3;     // scratch for the windows

    bool operator==(const LinkGlobals&) const = default;
};

} // namespace pkivo
