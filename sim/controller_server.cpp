#include "sim/controller_server.h"

#include <memory>

#include "sim/controller_model.h"
#include "sim/thermal_model.h"

namespace vireo::sim {

ControllerServer::ControllerServer(const ControllerConfig& config)
    : config_(config), sampleTemperature_(static_cast<float>(kAmbient)), server_("controller", config.acceleration) {}

bool ControllerServer::Start() {
  if (server_.Running()) return server_.Start({});  // refused, with its message
  const auto model = std::make_shared<ControllerModel>(config_);
  sampleTemperature_ = static_cast<float>(model->Temperature(Holder::kSample));
  return server_.Start({[model](std::string_view bytes) { return model->Receive(bytes); },
                        [model, this](std::uint32_t milliseconds) {
                          std::string out = model->Advance(milliseconds);
                          sampleTemperature_ = static_cast<float>(model->Temperature(Holder::kSample));
                          return out;
                        }});
}

}  // namespace vireo::sim
