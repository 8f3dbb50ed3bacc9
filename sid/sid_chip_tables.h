#pragma once
// The SID's envelope timing: seconds for a full attack (0 to peak) and for a full
// decay or release (peak to 0), per 4-bit rate setting, as single-precision values.
// synth_init turns them into per-sample steps for the output rate.

constexpr float sid_attack_seconds[16] = {
    0.0022528607f, 0.008009958f, 0.015769605f, 0.023779562f,
    0.037296366f,  0.05506846f,  0.06683309f,  0.0783474f,
    0.09812198f,   0.24455403f,  0.48910806f,  0.7824727f,
    0.97771543f,   2.933647f,    4.889078f,    7.822725f,
};

constexpr float sid_decay_release_seconds[16] = {
    0.008917777f, 0.024594052f, 0.04841859f, 0.07301167f,
    0.11451247f,  0.16907835f,  0.20519944f, 0.24055198f,
    0.30126613f,  0.75085825f,  1.5017155f,  2.4024367f,
    3.001893f,    9.007214f,    15.010998f,  24.018211f,
};

// The chip's clocks divided down to the output rate.
constexpr uint32_t sid_frequency_clock = 15872000;   // 985,248 Hz x 2^28 / 2^24, rounded
constexpr uint32_t sid_filter_clock = 1411200;       // 21.533203125 x 65,536, truncated
constexpr uint32_t c64_clock_hz = 985248;            // PAL; the digi period counts these

// Filter feedback: 1.2 at resonance 0, falling by 0.04 per step (16.16).
constexpr int32_t sid_resonance_base = 78643;
constexpr int32_t sid_resonance_step = 2621;

constexpr int32_t envelope_peak = 0xFFFFFF;
constexpr int32_t envelope_release_floor = 0x40000;  // released voices never fall silent
