#include "core/link/NetworkSearch.h"

namespace quintara {
namespace {

constexpr std::size_t kSearchBufferSize = 128;
// An answer must reach past its 17-byte header, the unread byte 17 and the sum to hold a name.
constexpr std::size_t kShortestScannedAnswer = 22;

}  // namespace

bool NetworkSearch::SearchNetwork(Link& link, LinkKind kind, DeviceListView& view,
                                  const SearchStop& stop) {
  devices_.BeginSearch(view);
  const std::int64_t start = clock_.NowMs();
  const Frame discover = BuildDiscoverFrame(kind, clock_.LocalNow());
  Exchange exchange;
  exchange.request = discover;
  exchange.audience = Audience::SearchTargets;
  exchange.startMs = start;
  exchange.windowMs = timing_.searchWindowMs;
  exchange.gapMs = timing_.searchPauseMs;
  exchange.bufferSize = kSearchBufferSize;
  exchange.judge = [this, &stop](const std::optional<Arrival>& arrival) {
    return arrival ? JudgeAnswer(*arrival, stop) : Verdict::KeepWaiting;
  };
  if (link.RunExchange(exchange) == ExchangeOutcome::NotSent) {
    return false;
  }
  if (devices_.Table().Count() > 0) {
    devices_.ConcludeFound(devices_.Table().Count(), view);
  } else {
    devices_.ConcludeNoneFound(-1, view);
  }
  return true;
}

Verdict NetworkSearch::JudgeAnswer(const Arrival& arrival, const SearchStop& stop) {
  if (arrival.truncated) {
    return Verdict::KeepWaiting;  // too long for an answer: taken as a failed receive
  }
  const std::span<const std::uint8_t> answer = arrival.bytes;
  if (!IsFrameShaped(answer)) {
    // Junk costs no pause: a run of it must not push the devices' answers out of the window.
    return Verdict::KeepWaiting;
  }
  if (answer.size() > frame::kDeviceTypeOffset &&
      !IsAcceptedDeviceType(answer[frame::kDeviceTypeOffset])) {
    return Verdict::KeepWaiting;
  }
  if (answer.size() < kShortestScannedAnswer) {
    return Verdict::KeepWaitingAfterGap;
  }
  return RecordAnswer(answer, arrival.sender, stop) ? Verdict::Accepted
                                                    : Verdict::KeepWaitingAfterGap;
}

bool NetworkSearch::RecordAnswer(std::span<const std::uint8_t> answer, const Ipv4Address& sender,
                                 const SearchStop& stop) {
  bool awaitedDeviceFound = false;
  for (const DiscoveredDevice& device : ParseDiscoverAnswer(answer, sender)) {
    // The table keeps the first devices that answered; later ones are not listed.
    if (!devices_.Record(device)) {
      break;
    }
    awaitedDeviceFound = awaitedDeviceFound || stop.answeredBy == sender;
  }
  return awaitedDeviceFound;
}

}  // namespace quintara
