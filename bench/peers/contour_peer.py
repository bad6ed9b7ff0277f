#!/usr/bin/python3
"""Peer figure for the contour benchmark: matplotlib's contourf of the same 500 x 500
array at 1000 x 700 pixels, contour calculation and a full figure redraw per run (the
contour plot's repaint calculates and renders too).

Run with Debian's interpreter: /usr/bin/python3 bench/peers/contour_peer.py [repeats]
"""
import statistics
import sys
import time

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

N = 500


def hills():
    v = np.linspace(-5.2, 5.2, N)
    x, y = np.meshgrid(v, v)
    z = (np.exp(-((x - 2) ** 2 + (y - 1.5) ** 2) / 3)
         + 0.7 * np.exp(-((x + 2.5) ** 2 + (y - 2) ** 2) / 2)
         - 0.9 * np.exp(-((x + 0.5) ** 2 + (y + 2.5) ** 2) / 2.5) + 0.02 * x * y)
    return x, y, z


def median_ms(draw, repeats):
    """Median wall and processor time of one run, in ms (the processor time is the
    figure to compare on a busy machine)."""
    draw()  # warm-up: fonts, caches
    wall, cpu = [], []
    for _ in range(repeats):
        t0, c0 = time.perf_counter(), time.process_time()
        draw()
        wall.append((time.perf_counter() - t0) * 1000.0)
        cpu.append((time.process_time() - c0) * 1000.0)
    return statistics.median(wall), statistics.median(cpu)


def main():
    repeats = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    x, y, z = hills()
    fig = plt.figure(figsize=(10, 7), dpi=100)
    ax = fig.add_subplot(111)
    # The same colour levels as the benchmark: -1.0 .. 1.2 in steps of 0.05.
    levels = np.arange(-1.0, 1.2001, 0.05)

    def contourf():
        ax.cla()
        ax.contourf(x, y, z, levels=levels, cmap="jet", extend="both")
        fig.canvas.draw()

    def contour():
        ax.cla()
        ax.contour(x, y, z, levels=levels, cmap="jet", linewidths=1)
        fig.canvas.draw()

    for name, draw in (("contourf 500 x 500", contourf), ("contour lines 500 x 500", contour)):
        wall, cpu = median_ms(draw, repeats)
        print(f"{name}: {wall:.1f} ms wall, {cpu:.1f} ms CPU (median of {repeats})")
    plt.close(fig)


if __name__ == "__main__":
    main()
