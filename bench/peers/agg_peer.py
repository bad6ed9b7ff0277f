#!/usr/bin/python3
"""Peer figures for the chart benchmarks: the same workloads drawn by matplotlib's Agg
backend at 1000 x 700 pixels (a full figure redraw, axes included).

Run with Debian's interpreter: /usr/bin/python3 bench/peers/agg_peer.py
"""
import statistics
import sys
import time

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402


def median_ms(fig, repeats):
    canvas = fig.canvas
    canvas.draw()  # warm-up: fonts, caches
    times = []
    for _ in range(repeats):
        t0 = time.perf_counter()
        canvas.draw()
        times.append((time.perf_counter() - t0) * 1000.0)
    return statistics.median(times)


def figure():
    return plt.figure(figsize=(10, 7), dpi=100)


def empty_chart():
    fig = figure()
    ax = fig.add_subplot(111)
    ax.set_xlim(0, 10)
    ax.set_ylim(0, 10)
    ax.grid(True)
    return fig


def polyline(n):
    fig = figure()
    ax = fig.add_subplot(111)
    x = np.linspace(0, 100, n)
    rng = np.random.default_rng(1)
    y = np.sin(x) + 0.1 * rng.standard_normal(n)
    ax.plot(x, y, linewidth=1)
    return fig


def marks(n):
    fig = figure()
    ax = fig.add_subplot(111)
    rng = np.random.default_rng(2)
    ax.plot(rng.random(n) * 10, rng.random(n) * 10, linestyle="none", marker="s", markersize=3)
    return fig


def main():
    repeats = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    rows = [
        ("empty chart with axes", empty_chart()),
        ("1,000,000-point polyline", polyline(1_000_000)),
        ("100,000 marks", marks(100_000)),
    ]
    for name, fig in rows:
        print(f"{name}: {median_ms(fig, repeats):.1f} ms (median of {repeats})")
        plt.close(fig)


if __name__ == "__main__":
    main()
