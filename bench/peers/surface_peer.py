#!/usr/bin/python3
"""Peer figures for the surface benchmark: the same 100 x 100 sombrero (sin 2r / r) as
bench/plot3d_bench.cpp, drawn at 1000 x 700 pixels with a colour-coded surface, turned a
little before each frame so that nothing is reused.

- matplotlib: plot_surface with a colour map and a full figure redraw (Agg) per frame.
- gnuplot: `splot ... with pm3d` of an inline data block to the png (libgd) and pngcairo
  terminals; N frames in one process, minus the cost of a process that draws one frame,
  so that start-up is not counted.

Run with Debian's interpreter: /usr/bin/python3 bench/peers/surface_peer.py [frames]
Needs python3-matplotlib and gnuplot-nox (Debian).
"""
import math
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

N = 100


def node(i, j):
    x, y = (i - 50.5) / 8, (j - 50.5) / 8
    r = math.hypot(x, y)
    return math.sin(2 * r) / r


def matplotlib_ms(frames):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    import numpy as np

    i, j = np.meshgrid(np.arange(1, N + 1), np.arange(1, N + 1), indexing="ij")
    x, y = (i - 50.5) / 8, (j - 50.5) / 8
    r = np.hypot(x, y)
    z = np.sin(2 * r) / r
    fig = plt.figure(figsize=(10, 7), dpi=100)
    ax = fig.add_subplot(111, projection="3d")
    ax.plot_surface(i, j, z, cmap="jet", rstride=1, cstride=1, linewidth=0.3,
                    edgecolor="k", vmin=-0.3, vmax=1.0)
    fig.canvas.draw()  # warm-up: fonts, caches
    wall, cpu = [], []
    for f in range(frames):
        ax.view_init(elev=30, azim=15 + f)
        t0, c0 = time.perf_counter(), time.process_time()
        fig.canvas.draw()
        wall.append((time.perf_counter() - t0) * 1000.0)
        cpu.append((time.process_time() - c0) * 1000.0)
    plt.close(fig)
    return statistics.median(wall), statistics.median(cpu)


def gnuplot_script(terminal, frames, out):
    rows = []
    for i in range(1, N + 1):
        rows.extend(f"{i} {j} {node(i, j):.9g}" for j in range(1, N + 1))
        rows.append("")
    body = "\n".join(rows)
    return f"""$D << EOD
{body}
EOD
set terminal {terminal} size 1000,700
set palette defined (-0.3 'blue', 0.35 'green', 1.0 'red')
set cbrange [-0.3:1.0]
set pm3d depthorder border lc 'black' lw 0.5
unset colorbox
do for [f=1:{frames}] {{
  set view 60, 15 + f
  set output '{out}'
  splot $D using 1:2:3 with pm3d notitle
  unset output
}}
"""


def gnuplot_cpu_ms(terminal, frames, workdir):
    path = os.path.join(workdir, f"s{frames}.gp")
    with open(path, "w") as fh:
        fh.write(gnuplot_script(terminal, frames, os.path.join(workdir, "out.png")))
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    t0 = time.perf_counter()
    subprocess.run(["gnuplot", path], check=True)
    wall = (time.perf_counter() - t0) * 1000.0
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = ((after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)) * 1000.0
    return wall, cpu


def gnuplot_ms(terminal, frames):
    with tempfile.TemporaryDirectory() as d:
        one = [gnuplot_cpu_ms(terminal, 1, d) for _ in range(3)]
        many = [gnuplot_cpu_ms(terminal, frames + 1, d) for _ in range(3)]
    wall = (statistics.median(w for w, _ in many) - statistics.median(w for w, _ in one)) / frames
    cpu = (statistics.median(c for _, c in many) - statistics.median(c for _, c in one)) / frames
    return wall, cpu


def main():
    frames = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    wall, cpu = matplotlib_ms(frames)
    print(f"matplotlib plot_surface 100 x 100: {wall:.1f} ms wall, {cpu:.1f} ms CPU per frame")
    if shutil.which("gnuplot") is None:
        print("gnuplot not installed (Debian package gnuplot-nox)")
        return
    for terminal in ("png", "pngcairo"):
        wall, cpu = gnuplot_ms(terminal, frames)
        print(f"gnuplot splot with pm3d ({terminal}) 100 x 100: {wall:.1f} ms wall, "
              f"{cpu:.1f} ms CPU per frame")


if __name__ == "__main__":
    main()
