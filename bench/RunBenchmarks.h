#pragma once

// Runs the registered benchmarks with Google Benchmark's flags from the
// command line: repetitions in random order, so that the two sides of a
// comparison meet the same moments of a noisy machine; the console table on
// standard error; the figures in the file that --benchmark_out names.
int runBenchmarks(int argc, char** argv);
