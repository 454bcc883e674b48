#!/usr/bin/python3
"""Writes the status-bar animation frames 102.svg to 112.svg: a sample block of material
that fills from the bottom, one eleventh more in each frame. Run by hand after a change."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
FRAMES = range(102, 113)

for i, frame in enumerate(FRAMES, start=1):
    level = 12.0 * i / len(FRAMES)  # filled height of the 12-unit front face
    y = 20.0 - level
    svg = f'''<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24" viewBox="0 0 24 24">
  <!-- frame {frame}: the sample is {i} of {len(FRAMES)} full -->
  <path d="M3 8l4-4h14l-4 4z" fill="{'#c9a24a' if i == len(FRAMES) else '#eef1f5'}" stroke="#3d4f62" stroke-width="1" stroke-linejoin="round"/>
  <rect x="3" y="8" width="14" height="12" fill="#ffffff" stroke="none"/>
  <path d="M17 8l4-4v12l-4 4z" fill="#dde3ea" stroke="none"/>
  <rect x="3" y="{y:.2f}" width="14" height="{level:.2f}" fill="#d4a017"/>
  <path d="M17 {y:.2f}l4 -4V16l-4 4z" fill="#a67c0c"/>
  <rect x="3" y="8" width="14" height="12" fill="none" stroke="#3d4f62" stroke-width="1"/>
  <path d="M17 8l4-4v12l-4 4" fill="none" stroke="#3d4f62" stroke-width="1" stroke-linejoin="round"/>
</svg>
'''
    with open(os.path.join(HERE, f"{frame}.svg"), "w") as f:
        f.write(svg)
