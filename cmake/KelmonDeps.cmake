# Third-party libraries of each layer, beyond TBB and robin-map which every layer gets.
# One block per library; add yours here (and its Debian package to scripts/apt-packages.txt).
