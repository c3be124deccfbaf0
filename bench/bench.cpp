#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include <benchmark/benchmark.h>

#include "airspeed.h"
#include "altitudes.h"
#include "atmosphere.h"
#include "reference_values.h"
#include "report.h"

namespace {

// Altitudes spread evenly over 0 .. 88000 m, so every layer is visited in turn.
std::array<double, 1024> sweepAltitudes() {
  std::array<double, 1024> altitudes{};
  for (std::size_t i = 0; i < altitudes.size(); ++i) {
    altitudes[i] = aero::atmosphereUpperBound * static_cast<double>((i * 389) % altitudes.size()) /
                   static_cast<double>(altitudes.size());
  }
  return altitudes;
}

// One layer, in the middle of it (the last one up to the upper bound).
void standardAtmosphereInLayer(benchmark::State& state) {
  const auto layer = static_cast<std::size_t>(state.range(0));
  const double top = layer + 1 < aero::atmosphereLayers.size() ? aero::atmosphereLayers[layer + 1].baseAltitude
                                                               : aero::atmosphereUpperBound;
  double altitude = 0.5 * (aero::atmosphereLayers[layer].baseAltitude + top);
  double pressure = 0.0, temperature = 0.0, density = 0.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(altitude);
    aero::standardAtmosphere(altitude, pressure, temperature, density);
    benchmark::DoNotOptimize(pressure);
    benchmark::DoNotOptimize(temperature);
    benchmark::DoNotOptimize(density);
  }
}
BENCHMARK(standardAtmosphereInLayer)->DenseRange(0, 7);

void standardAtmosphereSweep(benchmark::State& state) {
  const auto altitudes = sweepAltitudes();
  double pressure = 0.0, temperature = 0.0, density = 0.0;
  std::size_t i = 0;
  for (auto _ : state) {
    aero::standardAtmosphere(altitudes[i++ % altitudes.size()], pressure, temperature, density);
    benchmark::DoNotOptimize(pressure);
    benchmark::DoNotOptimize(temperature);
    benchmark::DoNotOptimize(density);
  }
}
BENCHMARK(standardAtmosphereSweep);

// The standard pressures of the sweep's altitudes turned back into altitudes.
void pressureAltitudeSweep(benchmark::State& state) {
  std::array<double, 1024> pressures{};
  const auto altitudes = sweepAltitudes();
  for (std::size_t i = 0; i < pressures.size(); ++i) pressures[i] = aero::airState(altitudes[i]).pressure;
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(aero::pressureAltitude(pressures[i++ % pressures.size()]));
  }
}
BENCHMARK(pressureAltitudeSweep);

// The altitudes of the sweep found again from the density on a day 15 K warmer than standard;
// "evaluations" counts the density's evaluations per search.
void lowestAltitudeWhereWarmDaySweep(benchmark::State& state) {
  const auto density = [](double altitude) { return aero::airState(altitude, 15.0).density; };
  std::array<double, 1024> densities{};
  const auto altitudes = sweepAltitudes();
  for (std::size_t i = 0; i < densities.size(); ++i) densities[i] = density(altitudes[i]);
  std::int64_t evaluations = 0;
  const std::function<double(double)> counted = [&](double altitude) {
    ++evaluations;
    return density(altitude);
  };
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(aero::lowestAltitudeWhere(densities[i++ % densities.size()], counted));
  }
  state.counters["evaluations"] =
      benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(lowestAltitudeWhereWarmDaySweep);

void computeDefaults(benchmark::State& state) {
  aero::ReferenceValueSet v;
  v.setDefaults();
  for (auto _ : state) {
    benchmark::DoNotOptimize(v);
    v.computeReferenceValues();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(computeDefaults);

void computeAltitudeSweep(benchmark::State& state) {
  const auto altitudes = sweepAltitudes();
  aero::ReferenceValueSet v;
  v.setDefaults();
  std::size_t i = 0;
  for (auto _ : state) {
    v.altitude = altitudes[i++ % altitudes.size()];
    v.computeReferenceValues();
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(computeAltitudeSweep);

void reportTextOfDefaults(benchmark::State& state) {
  aero::ReferenceValueSet v;
  v.setDefaults();
  v.computeReferenceValues();
  for (auto _ : state) {
    benchmark::DoNotOptimize(report::reportText(v));
  }
}
BENCHMARK(reportTextOfDefaults);

// machFromImpactPressure over the impact pressures of 64 Mach numbers spread evenly from low to high.
void machFromImpactPressureOver(benchmark::State& state, double lowMach, double highMach) {
  std::array<double, 64> impactPressures{};
  for (std::size_t i = 0; i < impactPressures.size(); ++i) {
    const double mach = lowMach + (highMach - lowMach) * static_cast<double>(i) / (impactPressures.size() - 1);
    impactPressures[i] = aero::impactPressure(mach, aero::seaLevelPressure);
  }
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        aero::machFromImpactPressure(impactPressures[i++ % impactPressures.size()], aero::seaLevelPressure));
  }
}

// The closed form, Mach 0.05 to 0.95.
void machFromImpactPressureSubsonic(benchmark::State& state) {
  machFromImpactPressureOver(state, 0.05, 0.95);
}
BENCHMARK(machFromImpactPressureSubsonic);

// The Newton iteration behind the shock, Mach 1.05 to 10.
void machFromImpactPressureSupersonic(benchmark::State& state) {
  machFromImpactPressureOver(state, 1.05, 10.0);
}
BENCHMARK(machFromImpactPressureSupersonic);

}  // namespace
