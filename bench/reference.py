#!/usr/bin/python3
"""The whole heatplate run as one would write it with NumPy and SciPy.

A yardstick for bench/compare: the same grid, steps and methods, the residual
of every step and the final field written to a file, but no pictures. It does
not follow heatplate's evaluation order, so the fields agree closely, not to
the last bit.
"""
import argparse
import sys

import numpy as np
from scipy.linalg import solve_banded


def run(nx, ny, walls, tfield, steps, method):
    tw1, tw2, tw3, tw4 = walls
    t = np.zeros((nx + 1, ny + 1))  # t[i, j]: i along x, j along y
    t[:, 0] = tw1
    t[:, ny] = tw3
    t[nx, :] = tw2
    t[0, :] = tw4
    t[1:nx, 1:ny] = tfield
    told = t.copy()
    dx, dy = 1.0 / nx, 1.0 / ny
    n_inner = (nx - 1) * (ny - 1)
    if method == "explicit":
        dx, dy = min(dx, 0.5), min(dy, 0.5)
    else:
        # Every line of a sweep has the same matrix: one banded solve per sweep.
        rows_ab = np.zeros((3, nx - 1))
        rows_ab[0, 1:] = dx
        rows_ab[1, :] = -(2 * dx + 1)
        rows_ab[2, :-1] = dx
        cols_ab = np.zeros((3, ny - 1))
        cols_ab[0, 1:] = dy
        cols_ab[1, :] = -(2 * dy + 1)
        cols_ab[2, :-1] = dy

    rms = 0.0
    for _ in range(int(steps)):
        told[1:nx, 1:ny] = t[1:nx, 1:ny]
        c = told[1:nx, 1:ny]
        if method == "explicit":
            t[1:nx, 1:ny] = (
                c
                + dx * (told[:-2, 1:ny] - 2 * c + told[2:, 1:ny])
                + dy * (told[1:nx, :-2] - 2 * c + told[1:nx, 2:])
            )
        else:
            rhs = -dy * told[1:nx, :-2] + (2 * dy - 1) * c - dy * told[1:nx, 2:]
            rhs[0, :] -= dx * t[0, 1:ny]
            rhs[-1, :] -= dx * t[nx, 1:ny]
            t[1:nx, 1:ny] = solve_banded((1, 1), rows_ab, rhs)
            told[1:nx, 1:ny] = t[1:nx, 1:ny]
            c = told[1:nx, 1:ny]
            rhs = -dx * told[:-2, 1:ny] + (2 * dx - 1) * c - dx * told[2:, 1:ny]
            rhs[:, 0] -= dy * t[1:nx, 0]
            rhs[:, -1] -= dy * t[1:nx, ny]
            t[1:nx, 1:ny] = solve_banded((1, 1), cols_ab, rhs.T).T
        diff = t[1:nx, 1:ny] - told[1:nx, 1:ny]
        rms = np.sqrt(np.sum(diff * diff)) / n_inner
        if not np.isfinite(rms):
            sys.exit("diverged")
    return t, rms


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--nx", type=int, default=101)
    p.add_argument("--ny", type=int, default=101)
    p.add_argument("--walls", type=float, nargs=4, default=[100, 100, 100, 100])
    p.add_argument("--tfield", type=float, default=0.0)
    p.add_argument("--maxtime", type=float, default=10000)
    p.add_argument("--method", choices=["explicit", "adi"], default="explicit")
    p.add_argument("--out", default="reference-field.txt")
    a = p.parse_args()
    t, rms = run(a.nx, a.ny, a.walls, a.tfield, a.maxtime, a.method)
    # Row j per line, as results.txt is laid out, at full precision.
    np.savetxt(a.out, t.T, fmt="%.17g")
    print(f"residual={rms:.8f}")


if __name__ == "__main__":
    main()
