#!/usr/bin/python3
"""The gallery's picture-quality chart drawn by matplotlib (Agg), for a side-by-side look.

Draws the "Damped waves" chart of the gallery's quality page (same data, colours, ranges
and pixel sizes: 300 x 220 at 1x and 600 x 440 at 2x) and the multilingual labels, then,
when the gallery's quality.png is given, puts our classic and smooth panels beside
matplotlib's at both scales in one picture.

Run with Debian's interpreter:
  /usr/bin/python3 bench/peers/quality_peer.py OUTDIR [build/examples/gallery_out/quality.png]
"""
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

BLUE = "#1070B0"   # the gallery's 0xB07010 (colours there are 0x00BBGGRR)
RED = "#C02020"
GREEN = "#208020"


def damped_waves(scale):
    fig = plt.figure(figsize=(3.0, 2.2), dpi=100 * scale)
    fig.patch.set_facecolor("#F0F0F0")
    ax = fig.add_axes([50 / 300, 26 / 220, 230 / 300, 150 / 220])
    x = np.arange(0, 301) / 30.0
    ax.plot(x, np.exp(-x / 6) * np.sin(2.2 * x), color=BLUE, lw=0.75)
    ax.plot(x, np.exp(-x / 4) * np.cos(1.7 * x), color=RED, lw=1.5)
    shapes = ["s", "D", "o", "^"]
    for i in range(12):
        ax.plot(0.4 + i * 0.8, -0.9 + 0.15 * np.sin(i * 1.3), shapes[i % 4], ms=5,
                color=GREEN, mec="black", mew=0.5)
    ax.set_xlim(0, 10)
    ax.set_ylim(-1.2, 1.2)
    ax.set_xticks([0, 5, 10])
    ax.set_yticks([-1, 0, 1])
    ax.tick_params(labelsize=6)
    ax.grid(True, color="#E0E0E0")
    ax.set_title("Damped waves", fontsize=6, loc="right")
    return fig


def labels(scale):
    texts = [
        "AVATAR Wa To",
        "\u0398\u03b5\u03c1\u03bc\u03bf\u03ba\u03c1\u03b1\u03c3\u03af\u03b1 (\u03b8, \u00b0C)",
        "\u6e29\u5ea6\u66f2\u7ebf",
        "\u062f\u0631\u062c\u0629 \u0627\u0644\u062d\u0631\u0627\u0631\u0629",
    ]
    fig = plt.figure(figsize=(5.6, 2.0), dpi=100 * scale)
    for i, t in enumerate(texts):
        fig.text(0.05, 0.8 - i * 0.2, t, fontsize=11,
                 family=["DejaVu Sans", "Noto Sans CJK SC"])
    return fig


def side_by_side(outdir, gallery_png):
    """Pastes the panels at one picture pixel per screen pixel, titled."""
    ours = plt.imread(gallery_png)
    peer1 = plt.imread(os.path.join(outdir, "damped_waves_1x.png"))
    peer2 = plt.imread(os.path.join(outdir, "damped_waves_2x.png"))
    # Panel places on the gallery page (see examples/page_quality.cpp).
    panels = [
        ("ours, classic 1x", ours[30:250, 20:320], 10, 30),
        ("ours, smooth 1x", ours[30:250, 640:940], 330, 30),
        ("matplotlib Agg 1x", peer1, 650, 30),
        ("ours, smooth 2x", ours[300:740, 640:1240], 10, 290),
        ("matplotlib Agg 2x", peer2, 630, 290),
    ]
    width, height = 1240, 750
    fig = plt.figure(figsize=(width / 100, height / 100), dpi=100)
    for title, img, x, y in panels:
        h = img.shape[0]
        fig.figimage(img[:, :, :3], xo=x, yo=height - y - h, origin="upper")
        fig.text(x / width, (height - y + 6) / height, title, fontsize=9)
    fig.savefig(os.path.join(outdir, "side_by_side.png"), dpi=100)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    for scale in (1, 2):
        damped_waves(scale).savefig(os.path.join(outdir, f"damped_waves_{scale}x.png"),
                                    facecolor="#F0F0F0")
        labels(scale).savefig(os.path.join(outdir, f"labels_{scale}x.png"))
    if len(sys.argv) > 2:
        side_by_side(outdir, sys.argv[2])


if __name__ == "__main__":
    main()
