#include "sim/spectrometer_server.h"

#include <memory>
#include <utility>

#include "sim/spectrometer_model.h"

namespace vireo::sim {

SpectrometerServer::SpectrometerServer(SpectrometerConfig config)
    : config_(std::move(config)), server_("spectrophotometer", 1.0) {}

bool SpectrometerServer::Start() {
  const auto model = std::make_shared<SpectrometerModel>(config_);
  return server_.Start({[model](std::string_view bytes) { return model->Receive(bytes); },
                        [model](std::uint32_t milliseconds) { return model->Advance(milliseconds); }});
}

}  // namespace vireo::sim
