#include "platform/sim/machine.h"

#include <ctime>

#include "platform/sim/card_settings.h"

namespace nimbra::sim {

namespace {

platform::LocalDateTime real_local_now() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

SimPorts ports_of(const MachineConfig& config, Scheduler& scheduler) {
  auto card = load_card(config.ini);
  if (!card) return SimPorts(PortConfig::load(config.ini), nullptr, 0);
  return SimPorts(PortConfig::load(config.ini),
                  std::make_unique<SimCard>(std::move(card->settings), scheduler), card->port);
}

}  // namespace

Process::Process(Machine& machine)
    : window_(machine.scheduler()),
      runtime_(machine.config(), machine.instances()),
      comm_(machine.ports()),
      platform_{machine.kernel(), machine.registry(), runtime_, window_, comm_} {}

Machine::Machine(const std::filesystem::path& dir)
    : config_(MachineConfig::load(dir)),
      clock_(scheduler_, config_.clock_start.value_or(real_local_now())),
      kernel_(config_, clock_),
      registry_(dir / machine_files::kRegistry, config_.code_page()),
      ports_(ports_of(config_, scheduler_)) {}

Process& Machine::start_process() {
  processes_.push_back(std::make_unique<Process>(*this));
  return *processes_.back();
}

void Machine::run_for(uint64_t ms) {
  scheduler_.run_until(scheduler_.now_ms() + ms);
}

}  // namespace nimbra::sim
