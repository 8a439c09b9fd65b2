#include "platform/sim/installed_browser.h"

namespace nimbra::sim {

void install_browser(platform::RegistryStore& registry) {
  registry.create_key(kConnectionsKey);
}

}  // namespace nimbra::sim
