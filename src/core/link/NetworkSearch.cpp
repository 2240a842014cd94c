#include "core/link/NetworkSearch.h"

#include <utility>

namespace quintara {
namespace {

constexpr std::size_t kSearchBufferSize = 128;
// An answer must reach past its 17-byte header, the unread byte 17 and the sum to hold a name.
constexpr std::size_t kShortestScannedAnswer = 22;

}  // namespace

NetworkFind NetworkSearch::SearchNetwork(Link& link, std::span<const std::uint8_t> discover,
                                         const SearchStop& stop) {
  found_ = {};
  Exchange exchange;
  exchange.request = discover;
  exchange.audience = Audience::SearchTargets;
  exchange.startMs = clock_.NowMs();
  exchange.windowMs = timing_.searchWindowMs;
  exchange.gapMs = timing_.searchPauseMs;
  exchange.bufferSize = kSearchBufferSize;
  exchange.judge = [this, &stop](const std::optional<Arrival>& arrival) {
    return arrival ? JudgeAnswer(*arrival, stop) : Verdict::KeepWaiting;
  };
  found_.sent = link.RunExchange(exchange) != ExchangeOutcome::NotSent;
  return std::exchange(found_, {});
}

void NetworkSearch::Conclude(const NetworkFind& found, DeviceDirectory& devices,
                             DeviceListView& view) {
  devices.BeginSearch();
  if (!found.sent) {
    return;
  }
  for (const DiscoveredDevice& device : found.devices) {
    static_cast<void>(devices.Record(device));  // the search kept no more than fit
  }
  if (devices.Table().Count() > 0) {
    devices.ConcludeFound(devices.Table().Count(), view);
  } else {
    devices.ConcludeNoneFound(-1, view);
  }
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
  return KeepAnswer(answer, arrival.sender, stop) ? Verdict::Accepted
                                                  : Verdict::KeepWaitingAfterGap;
}

bool NetworkSearch::KeepAnswer(std::span<const std::uint8_t> answer, const Ipv4Address& sender,
                               const SearchStop& stop) {
  bool awaitedDeviceFound = false;
  for (DiscoveredDevice& device : ParseDiscoverAnswer(answer, sender)) {
    // The table keeps the first devices that answered; later ones are not listed.
    if (found_.devices.size() == DeviceTable::kCapacity) {
      break;
    }
    found_.devices.push_back(std::move(device));
    awaitedDeviceFound = awaitedDeviceFound || stop.answeredBy == sender;
  }
  return awaitedDeviceFound;
}

}  // namespace quintara
