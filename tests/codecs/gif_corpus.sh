# Sourced by the GIF shell tests: GIFs from ImageMagick and gifsicle with interlacing,
# transparency, every disposal and a loop count, made in the current folder. A picture that
# cannot be made ends the test as failed: no test passes on input it never had.
make_gif_corpus() {
  /usr/bin/convert rose: im_rose.gif
  /usr/bin/convert rose: -interlace GIF im_interlaced.gif
  /usr/bin/convert rose: -fuzz 20% -transparent white im_transparent.gif
  /usr/bin/convert -delay 7 -dispose None -size 20x10 xc:red -dispose Background -size 15x8 xc:blue \
    -dispose Previous -page +3+2 -size 8x8 xc:green -loop 0 im_dispose.gif
  gifsicle -O2 im_dispose.gif >gs_o2.gif
  gifsicle -i im_rose.gif >gs_interlaced.gif
  gifsicle --loopcount=5 im_dispose.gif >gs_loop5.gif
  local f
  for f in im_rose im_interlaced im_transparent im_dispose gs_o2 gs_interlaced gs_loop5; do
    [ -s $f.gif ] || { echo "FAIL: $f.gif could not be made"; exit 1; }
  done
}
