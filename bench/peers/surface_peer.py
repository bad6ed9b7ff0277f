#!/usr/bin/python3
"""Peer figures for the surface benchmark: the same 100 x 100 sombrero (sin 2r / r) as
bench/plot3d_bench.cpp, drawn at 1000 x 700 pixels with a colour-coded surface, turned a
little before each frame so that nothing is reused.

- matplotlib: plot_surface with a colour map and a full figure redraw (Agg) per frame.
- gnuplot: `splot ... with pm3d` of an inline data block to the png (libgd) and pngcairo
  terminals; N frames in one process, minus the cost of a process that draws one frame,
  so that start-up is not counted.

gnuplot's frame includes encoding and writing its PNG, which the repaint in
bench/plot3d_bench.cpp does not (BM_Plot3DRepaintAndPng100 does). To compare drawing with
drawing, two estimates of gnuplot's encoding share are printed as well:
- the frame time of a blank plot of the same terminal and size (set-up plus encoding of
  an almost uniform picture, a lower bound of the encoding of a busy one);
- the time the terminal's own PNG writer (libgd for png, cairo for pngcairo, called
  through ctypes) takes to encode the very picture of a surface frame; the frame minus
  this is gnuplot's drawing.

Run with Debian's interpreter: /usr/bin/python3 bench/peers/surface_peer.py [frames]
Needs python3-matplotlib and gnuplot-nox (Debian).
"""
import ctypes
import ctypes.util
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


def blank_script(terminal, frames, out):
    return f"""set terminal {terminal} size 1000,700
unset border
unset tics
unset key
do for [f=1:{frames}] {{
  set output '{out}'
  plot [0:1][0:1] 2 notitle
  unset output
}}
"""


def gnuplot_cpu_ms(terminal, frames, workdir, script=gnuplot_script):
    path = os.path.join(workdir, f"s{frames}.gp")
    with open(path, "w") as fh:
        fh.write(script(terminal, frames, os.path.join(workdir, "out.png")))
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    t0 = time.perf_counter()
    subprocess.run(["gnuplot", path], check=True)
    wall = (time.perf_counter() - t0) * 1000.0
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = ((after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)) * 1000.0
    return wall, cpu


def gnuplot_ms(terminal, frames, script=gnuplot_script):
    with tempfile.TemporaryDirectory() as d:
        one = [gnuplot_cpu_ms(terminal, 1, d, script) for _ in range(3)]
        many = [gnuplot_cpu_ms(terminal, frames + 1, d, script) for _ in range(3)]
    wall = (statistics.median(w for w, _ in many) - statistics.median(w for w, _ in one)) / frames
    cpu = (statistics.median(c for _, c in many) - statistics.median(c for _, c in one)) / frames
    return wall, cpu


def gd_encode_ms(png, reps):
    """libgd's PNG writer on the decoded picture, in memory: what the png terminal does
    after drawing (less the file write)."""
    name = ctypes.util.find_library("gd")
    if not name:
        return None
    gd = ctypes.CDLL(name)
    gd.gdImageCreateFromPngPtr.restype = ctypes.c_void_p
    gd.gdImageCreateFromPngPtr.argtypes = [ctypes.c_int, ctypes.c_void_p]
    gd.gdImagePngPtr.restype = ctypes.c_void_p
    gd.gdImagePngPtr.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int)]
    gd.gdFree.argtypes = [ctypes.c_void_p]
    gd.gdImageDestroy.argtypes = [ctypes.c_void_p]
    with open(png, "rb") as fh:
        data = fh.read()
    im = gd.gdImageCreateFromPngPtr(len(data), ctypes.create_string_buffer(data, len(data)))
    if not im:
        return None
    cpu = []
    for _ in range(reps):
        size = ctypes.c_int()
        c0 = time.process_time()
        out = gd.gdImagePngPtr(im, ctypes.byref(size))
        cpu.append((time.process_time() - c0) * 1000.0)
        gd.gdFree(out)
    gd.gdImageDestroy(im)
    return statistics.median(cpu)


def cairo_encode_ms(png, reps, workdir):
    """cairo's PNG writer on the decoded picture, to a file: what pngcairo does after
    drawing."""
    name = ctypes.util.find_library("cairo")
    if not name:
        return None
    cr = ctypes.CDLL(name)
    cr.cairo_image_surface_create_from_png.restype = ctypes.c_void_p
    cr.cairo_image_surface_create_from_png.argtypes = [ctypes.c_char_p]
    cr.cairo_surface_write_to_png.argtypes = [ctypes.c_void_p, ctypes.c_char_p]
    cr.cairo_surface_destroy.argtypes = [ctypes.c_void_p]
    surface = cr.cairo_image_surface_create_from_png(png.encode())
    target = os.path.join(workdir, "again.png").encode()
    cpu = []
    for _ in range(reps):
        c0 = time.process_time()
        cr.cairo_surface_write_to_png(surface, target)
        cpu.append((time.process_time() - c0) * 1000.0)
    cr.cairo_surface_destroy(surface)
    return statistics.median(cpu)


def encode_ms(terminal, reps=15):
    """The terminal's encoding of one surface frame, CPU ms."""
    with tempfile.TemporaryDirectory() as d:
        gnuplot_cpu_ms(terminal, 1, d)
        png = os.path.join(d, "out.png")
        if terminal == "png":
            return gd_encode_ms(png, reps)
        return cairo_encode_ms(png, reps, d)


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
        bwall, bcpu = gnuplot_ms(terminal, frames, blank_script)
        print(f"  blank frame, same terminal and size: {bwall:.1f} ms wall, {bcpu:.1f} ms CPU")
        enc = encode_ms(terminal)
        if enc is not None:
            print(f"  encoding the surface frame's PNG: {enc:.1f} ms CPU; "
                  f"drawing alone about {cpu - enc:.1f} ms CPU")


if __name__ == "__main__":
    main()
