#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/platform/Clock.h"

namespace quintara {

// One protocol packet: 17-byte header, payload, 16-bit little-endian sum, trailer.
using Frame = std::vector<std::uint8_t>;

// Byte 6 of every frame: the link the frame travels on.
enum class LinkKind : std::uint8_t { Serial = 0, Lan = 1 };

namespace frame {
inline constexpr std::uint8_t kStart = 0xA5;
inline constexpr std::uint8_t kTag = 0x6C;
inline constexpr std::uint8_t kTrailer = 0xAE;
inline constexpr std::size_t kHeaderSize = 17;
inline constexpr std::size_t kOverhead = 20;  // header + sum + trailer
inline constexpr std::size_t kLengthOffset = 2;
inline constexpr std::size_t kDeviceTypeOffset = 4;
inline constexpr std::size_t kDeviceAddressOffset = 5;
inline constexpr std::size_t kLinkKindOffset = 6;
inline constexpr std::size_t kIdentityOffset = 10;
inline constexpr std::size_t kCommandCodeOffset = 16;
inline constexpr std::size_t kPayloadOffset = 17;
// Where the values of a reply or a report begin: byte 17 is not read.
inline constexpr std::size_t kValuesOffset = 18;
}  // namespace frame

// Codes of the link and the application shell; each is read together with the DeviceType byte
// it travels with (0x50 with a matrix switcher's fixed type 0x03 is a different command).
namespace CommandCode {
inline constexpr std::uint8_t Discover = 0xFF;
inline constexpr std::uint8_t SetNetwork = 0x05;
inline constexpr std::uint8_t SetDeviceName = 0x0F;
inline constexpr std::uint8_t SetLock = 0x50;
inline constexpr std::uint8_t SetLabel = 0x1E;
}  // namespace CommandCode

// DeviceType byte of the matrix value frames.
inline constexpr std::uint8_t kMatrixValueDeviceType = 0x03;
// Both identification bytes of a Discover request.
inline constexpr std::uint8_t kDiscoverIdentification = 0xFF;

inline constexpr std::size_t kDiscoverFrameSize = 27;
inline constexpr std::size_t kNetworkFrameSize = 33;
inline constexpr std::size_t kNetworkAddressBytes = 12;

std::uint16_t FrameSum(std::span<const std::uint8_t> bytes);

// The whole test a Discover answer passes before its content is read: start, tag and trailer.
bool IsFrameShaped(std::span<const std::uint8_t> datagram);

// The Length field; 0 for a datagram too short to hold it.
std::size_t FrameLength(std::span<const std::uint8_t> datagram);

// A whole frame at the start of the datagram: start and tag, a Length that covers at least an
// empty frame and no more than arrived, the trailer at Length - 1 and the sum before it.
bool IsWholeFrame(std::span<const std::uint8_t> datagram);

// Writes the sum of everything before it into a whole frame, as a device does once it has put
// its identity into the header.
void SealFrame(std::span<std::uint8_t> frame);

std::uint8_t ToBcd(int value);
// Year mod 100, month, day of month, day of week (0 = Sunday), hour, minute, second.
std::array<std::uint8_t, 7> EncodeBcdTime(const LocalDateTime& time);

Frame BuildFrame(std::uint8_t deviceType, std::uint8_t deviceAddress, LinkKind link,
                 std::uint8_t commandCode, std::span<const std::uint8_t> payload = {});

Frame BuildDiscoverFrame(LinkKind link, const LocalDateTime& time);

Frame BuildNetworkFrame(std::uint8_t deviceType, std::uint8_t deviceAddress, LinkKind link,
                        std::span<const std::uint8_t, kNetworkAddressBytes> addressBytes,
                        std::uint8_t mode);

// Code 0x1E: the selector byte, the fixed run 01 00 01 00 01 00 01, then the payload.
Frame BuildLabelFrame(std::uint8_t deviceType, std::uint8_t deviceAddress, LinkKind link,
                      std::uint8_t selector, std::span<const std::uint8_t> payload);

// A matrix switcher setter: fixed DeviceType 0x03 and one value byte.
Frame BuildMatrixValueFrame(std::uint8_t deviceAddress, std::uint8_t commandCode,
                            std::uint8_t value, LinkKind variant);

// Code 0x0F with the name as UTF-16LE bytes, no terminator.
Frame BuildDeviceNameFrame(std::uint8_t deviceType, std::uint8_t deviceAddress, LinkKind link,
                           std::span<const std::uint8_t> nameUtf16Le);

}  // namespace quintara
