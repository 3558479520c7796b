#!/usr/bin/env perl
# Looks at a virtual X screen through the framebuffer file Xvfb keeps with
# -fbdir (XWD layout, 32-bit pixels), with no X request in between, so that
# it sees what a user would have seen at each moment.
#
#   frame-watch.pl watch FRAMEBUFFER OUT_DIR STOP_FILE [INTERVAL_MS] [MAX_SECONDS]
#     Grabs the screen every INTERVAL_MS (default 10) until STOP_FILE exists
#     (or MAX_SECONDS, default 30, pass) and judges every distinct frame below
#     the top strip (the tray): a grey box is a run of four or more pixels
#     of RGB(245,245,245) along a row (the skin's lettering holds single
#     ones), a black window more than 1024 pixels of RGB(0,0,0) (the pointer
#     has fewer; no skin picture holds pure black). Faulty frames are saved as
#     OUT_DIR/faulty-NNN.ppm. Prints a line per faulty frame and a summary:
#     "frames: grabbed G distinct D grey F black B".
#
#   frame-watch.pl shape FRAMEBUFFER LEFT TOP WIDTH HEIGHT FACE.bmp FACE_TOP DESKTOP_X DESKTOP_Y
#     Compares the window's visible shape at LEFT,TOP (WIDTH x HEIGHT) with
#     the face picture drawn from row FACE_TOP: a pixel is the window's when
#     it differs from the desktop colour (read at DESKTOP_X,DESKTOP_Y), and
#     should be exactly when the face there is not the colour key
#     RGB(254,254,254). Prints "shape: inside I, expected E, differ D" and
#     up to ten differing pixels; exits 1 when any differs.
use strict;
use warnings;
use Time::HiRes qw(sleep time);

my $mode = shift // '';

sub open_screen {
    my ($path) = @_;
    open(my $fh, '<:raw', $path) or die "frame-watch: cannot open $path: $!\n";
    sysread($fh, my $head, 100) == 100 or die "frame-watch: $path is no XWD file\n";
    my @f = unpack('N25', $head);
    my ($header, $width, $height, $bpp, $line, $ncolors) = @f[0, 4, 5, 11, 12, 19];
    $bpp == 32 or die "frame-watch: $bpp bits per pixel, not 32\n";
    return { fh => $fh, offset => $header + 12 * $ncolors, width => $width, height => $height, line => $line };
}

sub grab {
    my ($screen) = @_;
    my $size = $screen->{line} * $screen->{height};
    sysseek($screen->{fh}, $screen->{offset}, 0);
    my $got = sysread($screen->{fh}, my $data, $size);
    die "frame-watch: short read\n" unless defined $got && $got == $size;
    return $data;
}

# Pixels are stored B, G, R, unused: count the pixels of one colour that lie
# in runs of at least RUN along a row, at pixel boundaries.
sub count_colour {
    my ($data, $from, $bgr, $run) = @_;
    my $n = 0;
    pos($data) = $from;
    while ($data =~ /(?:\Q$bgr\E[\x00-\xff]){$run,}/g) {
        my ($at, $end) = ($-[0], $+[0]);
        if ($at % 4 == 0) { $n += ($end - $at) / 4; } else { pos($data) = $at + 4 - $at % 4; }
    }
    return $n;
}

sub save_ppm {
    my ($path, $screen, $data) = @_;
    open(my $out, '>:raw', $path) or die "frame-watch: cannot write $path: $!\n";
    print $out "P6\n$screen->{width} $screen->{height}\n255\n";
    for my $y (0 .. $screen->{height} - 1) {
        my $row = substr($data, $y * $screen->{line}, $screen->{width} * 4);
        my $rgb = '';
        $rgb .= reverse(substr($row, $_ * 4, 3)) for 0 .. $screen->{width} - 1;
        print $out $rgb;
    }
    close($out);
}

if ($mode eq 'watch') {
    my ($fb, $out, $stop, $interval, $max) = @ARGV;
    defined $stop or die "usage: frame-watch.pl watch FRAMEBUFFER OUT_DIR STOP_FILE [INTERVAL_MS] [MAX_SECONDS]\n";
    $interval //= 10;
    $max //= 30;
    my $screen = open_screen($fb);
    my $skip = 24 * $screen->{line};  # the tray strip along the top edge
    my ($grabbed, $distinct, $grey, $black, $saved) = (0, 0, 0, 0, 0);
    my $prev = '';
    my $start = time;
    while (!-e $stop && time - $start < $max) {
        my $data = grab($screen);
        $grabbed++;
        if ($data ne $prev) {
            $distinct++;
            my $g = count_colour($data, $skip, "\xf5\xf5\xf5", 4);
            my $b = count_colour($data, $skip, "\x00\x00\x00", 1);
            my $bad = 0;
            if ($g > 0) { $grey++; $bad = 1; }
            if ($b > 1024) { $black++; $bad = 1; }
            if ($bad) {
                printf "faulty frame %d at +%d ms: %d grey pixels, %d black pixels\n", $distinct,
                    1000 * (time - $start), $g, $b;
                save_ppm(sprintf('%s/faulty-%03d.ppm', $out, $distinct), $screen, $data) if $saved++ < 5;
            }
            $prev = $data;
        }
        sleep($interval / 1000);
    }
    printf "frames: grabbed %d distinct %d grey %d black %d\n", $grabbed, $distinct, $grey, $black;
} elsif ($mode eq 'shape') {
    my ($fb, $left, $top, $w, $h, $bmp, $faceTop, $dx, $dy) = @ARGV;
    defined $dy or die "usage: frame-watch.pl shape FRAMEBUFFER LEFT TOP WIDTH HEIGHT FACE.bmp FACE_TOP DESKTOP_X DESKTOP_Y\n";
    my $screen = open_screen($fb);
    my $data = grab($screen);
    my $at = sub { substr($data, $_[1] * $screen->{line} + $_[0] * 4, 3) };
    my $desktop = $at->($dx, $dy);
    open(my $bf, '<:raw', $bmp) or die "frame-watch: cannot open $bmp: $!\n";
    local $/;
    my $pic = <$bf>;
    my ($bits, $bw, $bh, $depth) = (unpack('V', substr($pic, 10, 4)), unpack('l<2', substr($pic, 18, 8)),
                                    unpack('v', substr($pic, 28, 2)));
    $depth == 24 or die "frame-watch: $bmp is not a 24-bit picture\n";
    my $stride = int(($bw * 3 + 3) / 4) * 4;
    my $key = "\xfe\xfe\xfe";
    my ($inside, $expected, $differ, @shown) = (0, 0, 0);
    for my $y (0 .. $h - 1) {
        for my $x (0 .. $w - 1) {
            my $fy = $y - $faceTop;
            my $face = $fy >= 0 && $fy < abs($bh) && $x < $bw;
            if ($face) {
                my $row = $bh > 0 ? $bh - 1 - $fy : $fy;  # bottom-up unless the height is negative
                $face = substr($pic, $bits + $row * $stride + $x * 3, 3) ne $key;
            }
            my $shows = $at->($left + $x, $top + $y) ne $desktop;
            $inside += $shows;
            $expected += $face;
            next if $shows == $face;
            $differ++;
            push @shown, sprintf('(%d,%d) %s', $x, $y, $shows ? 'shown outside the face' : 'face not shown')
                if @shown < 10;
        }
    }
    print "shape: inside $inside, expected $expected, differ $differ\n";
    print "       $_\n" for @shown;
    exit($differ ? 1 : 0);
} else {
    die "usage: frame-watch.pl watch|shape ...\n";
}
