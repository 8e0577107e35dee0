// Message bytes and limits of the SQL Server Resolution Protocol, which the SQL Server Browser service answers on
// UDP 1434. Shared by the listing code and anything that needs to speak or check the same wire format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tallyrun::ssrp {

// The two requests that ask a host for all of its instances.
enum class ListRequest : std::uint8_t {
    BroadcastEx = 0x02,  // CLNT_BCAST_EX, sent to broadcast addresses
    UnicastEx = 0x03,    // CLNT_UCAST_EX, sent to one host
};

// CLNT_UCAST_INST: one instance's details, asked for by name (a client resolving host\instance sends it).
inline constexpr std::uint8_t InstanceRequest = 0x04;
// SVR_RESP: every answer starts with this byte and a 16-bit little-endian size of the text that follows.
inline constexpr std::uint8_t ServerResponse = 0x05;
inline constexpr std::size_t ResponseHeaderBytes = 3;
inline constexpr std::size_t MaxResponseBytes = ResponseHeaderBytes + 0xFFFF;

inline constexpr std::uint16_t BrowserPort = 1434;
inline constexpr std::string_view DefaultInstanceName = "MSSQLSERVER";

// Server and instance names longer than this are not names a real server sends.
inline constexpr std::size_t MaxNameBytes = 255;
// A computer hosts at most 50 instances; anything beyond a few more than that in one answer is noise.
inline constexpr std::size_t MaxRecordsPerResponse = 64;
// More names than this are of no use in a drop-down list, and keep a flood of answers from growing memory.
inline constexpr std::size_t MaxListedNames = 1024;

}  // namespace tallyrun::ssrp
