#pragma once
// The status as texts: the page for a person and the metrics for a
// monitoring system. Pure functions of a snapshot, tested without a network.

#include <string>
#include <string_view>

#include "status/status_snapshot.h"

namespace vireo {

// The Prometheus text exposition format (version 0.0.4).
std::string MetricsText(const StatusSnapshot& status);

// The style sheet of the page: served inline and allowed by its hash.
const std::string& StatusPageStyle();

// The page at "/": self-contained, reloading itself every `refreshSeconds`.
// `query` ("" or "?token=...") is added to every link and picture on it.
std::string StatusPage(const StatusSnapshot& status, std::string_view query, int refreshSeconds = 5);

// `text` safe inside HTML text and quoted attributes.
std::string HtmlEscape(std::string_view text);

// The records of a series text (minutes, tab, degrees per line) at or after
// minute `since`, as the text holds them; lines that are not records are dropped.
std::string RecordsSince(std::string_view text, double since);

// The command a script is on: the bracketed command that ends last before `cursor`.
std::string CommandBefore(std::string_view script, std::size_t cursor);

}  // namespace vireo
